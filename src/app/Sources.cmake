set(QUORVEL_APP_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/uMain.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainLayout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/VersionFooter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/VersionInfo.cpp
)
# Windows only: the process entry and the resources.
set(QUORVEL_APP_ENTRY_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/WinMain.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Quorvel.rc
)
