# The 30-per-second frame clock. The pacing arithmetic is portable (tested natively with an injected
# counter); the Windows build adds the performance-counter binding.
add_library(kagemira_frame_clock STATIC ${CMAKE_CURRENT_LIST_DIR}/FramePacer.cpp)
if(KAGEMIRA_WINDOWS)
  target_sources(kagemira_frame_clock PRIVATE ${CMAKE_CURRENT_LIST_DIR}/WindowsFrameClock.cpp)
  target_link_libraries(kagemira_frame_clock PUBLIC kagemira_fatal)
endif()
