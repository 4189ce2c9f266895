# The folder search component (TVexFind): a library of its own, so that the file list, the
# window and the command line can share it and its tests need nothing else of the file list.
add_library(vexfind STATIC
  ${CMAKE_CURRENT_LIST_DIR}/DirEnum.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FindEventLoop.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FindMask.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FindText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FolderWalk.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SearchRec.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ThreadPriority.cpp
  ${CMAKE_CURRENT_LIST_DIR}/vexFind.cpp
)
target_include_directories(vexfind PUBLIC ${CMAKE_CURRENT_LIST_DIR}/..)
target_link_libraries(vexfind PUBLIC platform Threads::Threads)
