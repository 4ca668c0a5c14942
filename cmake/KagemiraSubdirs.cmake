# Adds every sub-folder of the current folder that has a CMakeLists.txt, so that each area keeps
# its own build description without touching a shared file.
macro(kagemira_add_subfolders)
  file(GLOB _kagemira_children RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT _kagemira_children)
  foreach(_child ${_kagemira_children})
    if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/${_child} AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${_child}/CMakeLists.txt)
      add_subdirectory(${_child})
    endif()
  endforeach()
endmacro()
