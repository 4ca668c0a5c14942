# kagemira_add_subfolders(<folder>...): the sub-folders of the current folder, each with its own
# build description. Every folder is named: a missing one is a configure error, never fewer tests.
macro(kagemira_add_subfolders)
  foreach(_child ${ARGN})
    add_subdirectory(${_child})
  endforeach()
endmacro()
