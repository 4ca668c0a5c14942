# The frame producer of the packed-frame modes: decodes, converts and uploads one frame per tick.
add_library(kagemira_frame_producer STATIC ${CMAKE_CURRENT_LIST_DIR}/ShadowGraphProvider.cpp)
target_link_libraries(kagemira_frame_producer PUBLIC
  kagemira_frame_clock kagemira_threads kagemira_framedata kagemira_render kagemira_settings kagemira_fatal d3d9)
