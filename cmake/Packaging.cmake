# The release: install rules for what a user gets, and CPack packages of them. A portable zip
# always; an installer where makensis is installed.
#
# Layout (the same in the zip and the installed folder):
#   Quorvel.exe  README.md  LICENSE
#   samples/     Halvorn.exe, the sample documents, "Start Quorvel.cmd"
#
# Quorvel finds Halvorn.exe and Halvorn.ini in the current directory, so samples/ is the
# folder to run it in: the installer's Start-menu shortcut starts it there, and the zip's
# "Start Quorvel.cmd" does the same for a portable copy.

install(TARGETS Quorvel RUNTIME DESTINATION .)
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION .)
install(TARGETS Halvorn RUNTIME DESTINATION samples)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/samples/documents/ DESTINATION samples)

# cmd.exe wants CRLF; the launcher sets the working folder and returns at once.
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/package/Start\ Quorvel.cmd NEWLINE_STYLE CRLF CONTENT
[[@echo off
rem Starts Quorvel in this folder, which holds Halvorn.exe and gets Halvorn.ini.
start "" /D "%~dp0." "%~dp0..\Quorvel.exe"
]])
install(FILES "${CMAKE_BINARY_DIR}/package/Start Quorvel.cmd" DESTINATION samples)

# Values reach CPackConfig.cmake as written here (backslashes and $ included).
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_PACKAGE_NAME Quorvel)
set(CPACK_PACKAGE_VENDOR "${QUORVEL_COMPANY}")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Converts application documents to PDF with Halvorn and shows them")
set(CPACK_PACKAGE_FILE_NAME "Quorvel-${PROJECT_VERSION}-win64")
set(CPACK_RESOURCE_FILE_LICENSE "${CMAKE_SOURCE_DIR}/LICENSE")
set(CPACK_PACKAGE_CHECKSUM SHA256)
set(CPACK_STRIP_FILES ON)
# One folder and one registry key across versions, so that a newer installer replaces the older.
set(CPACK_PACKAGE_INSTALL_DIRECTORY Quorvel)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Quorvel)

set(CPACK_GENERATOR ZIP)
find_program(QUORVEL_MAKENSIS makensis)
if(QUORVEL_MAKENSIS)
  list(APPEND CPACK_GENERATOR NSIS)
endif()

set(CPACK_NSIS_EXECUTABLE "${QUORVEL_MAKENSIS}")
# The installer is our own template, cmake/NSIS.template.in: per user into the user's program
# folder without elevation, for all users into Public Documents when run as an administrator
# (it says why). cpack finds it on this path and fills in the names below and the file lists.
set(CPACK_MODULE_PATH ${CMAKE_SOURCE_DIR}/cmake)
set(CPACK_NSIS_PACKAGE_NAME Quorvel)  # also the Start-menu folder: one name across versions
set(CPACK_NSIS_DISPLAY_NAME "Quorvel")
set(CPACK_NSIS_INSTALLED_ICON_NAME Quorvel.exe)
set(CPACK_NSIS_MUI_ICON ${QUORVEL_ICON})
set(CPACK_NSIS_MUI_UNIICON ${QUORVEL_ICON})

include(CPack)
