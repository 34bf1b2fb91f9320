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
set(CPACK_PACKAGE_EXECUTABLES "Quorvel;Quorvel")

set(CPACK_GENERATOR ZIP)
find_program(QUORVEL_MAKENSIS makensis)
if(QUORVEL_MAKENSIS)
  list(APPEND CPACK_GENERATOR NSIS)
endif()

set(CPACK_NSIS_EXECUTABLE "${QUORVEL_MAKENSIS}")
# The installer asks for no elevation and installs into Documents\Quorvel: Quorvel and the
# converter write Halvorn.ini and the PDFs in the working folder, which must therefore be a
# folder the user may write (one under Program Files is not, without elevation). Run as an
# administrator, the installer installs for all users into Public Documents\Quorvel, which
# every user may write; the Start-menu entry then goes to all users too.
# The second line makes a 64-bit Unicode installer for the 64-bit program.
set(CPACK_NSIS_DEFINES "RequestExecutionLevel user\nTarget amd64-unicode")
set(CPACK_NSIS_INSTALL_ROOT [[$DOCUMENTS]])
# Also the default Start-menu folder: one name across versions.
set(CPACK_NSIS_PACKAGE_NAME Quorvel)
set(CPACK_NSIS_DISPLAY_NAME "Quorvel")
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
set(CPACK_NSIS_INSTALLED_ICON_NAME Quorvel.exe)
# The Start-menu shortcut from CPACK_PACKAGE_EXECUTABLES would start Quorvel in the install
# folder, where there is no Halvorn.exe; it is created again with samples\ as its working
# folder, so the program starts ready to convert the sample documents. The uninstaller
# removes it under the same name. Files the user made there (Halvorn.ini, PDFs) are the
# user's and stay behind.
set(CPACK_NSIS_CREATE_ICONS_EXTRA [[
  SetOutPath "$INSTDIR\samples"
  CreateShortCut "$SMPROGRAMS\$STARTMENU_FOLDER\Quorvel.lnk" "$INSTDIR\Quorvel.exe"
  SetOutPath "$INSTDIR"
]])

include(CPack)
