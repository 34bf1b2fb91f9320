set(QUORVEL_PLATFORM_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/Text.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UnicodeCase.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UnicodeCaseTable.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ErrorBox.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Exception.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Controls.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Current.cpp
  ${CMAKE_CURRENT_LIST_DIR}/VersionBlock.cpp
)
# The two backends mirror each other's file names where both need the file: those are listed
# once. The stand-in needs no peers of its own for the standard controls and the navigator.
set(QUORVEL_BACKEND_FILES App.cpp Dialogs.cpp Files.cpp Form.cpp Grid.cpp Platform.cpp Shell.cpp Widgets.cpp Windows.cpp)
list(TRANSFORM QUORVEL_BACKEND_FILES PREPEND ${CMAKE_CURRENT_LIST_DIR}/standin/ OUTPUT_VARIABLE QUORVEL_STANDIN_SOURCES)
list(TRANSFORM QUORVEL_BACKEND_FILES PREPEND ${CMAKE_CURRENT_LIST_DIR}/win32/ OUTPUT_VARIABLE QUORVEL_WIN32_SOURCES)
list(APPEND QUORVEL_WIN32_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/win32/Accessible.cpp
  ${CMAKE_CURRENT_LIST_DIR}/win32/Controls.cpp
  ${CMAKE_CURRENT_LIST_DIR}/win32/Gdi.cpp
  ${CMAKE_CURRENT_LIST_DIR}/win32/Handles.cpp
  ${CMAKE_CURRENT_LIST_DIR}/win32/Navigator.cpp
  ${CMAKE_CURRENT_LIST_DIR}/win32/Peers.cpp
)
