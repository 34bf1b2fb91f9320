# Each folder lists its own files; the backend files are listed per backend.
include(${CMAKE_SOURCE_DIR}/src/platform/Sources.cmake)
include(${CMAKE_SOURCE_DIR}/src/settings/Sources.cmake)
include(${CMAKE_SOURCE_DIR}/src/convert/Sources.cmake)
include(${CMAKE_SOURCE_DIR}/src/model/Sources.cmake)
include(${CMAKE_SOURCE_DIR}/src/app/Sources.cmake)

# The platform seam with the backend of this build: Win32 when cross-built, the stand-in natively.
if(WIN32)
  add_library(quorvel_platform STATIC ${QUORVEL_PLATFORM_SOURCES} ${QUORVEL_WIN32_SOURCES})
  target_link_libraries(quorvel_platform PUBLIC comctl32 comdlg32 shell32 ole32 oleaut32 uuid oleacc imm32 version gdi32 user32 advapi32 kernel32)
  target_compile_definitions(quorvel_platform PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
else()
  add_library(quorvel_platform STATIC ${QUORVEL_PLATFORM_SOURCES} ${QUORVEL_STANDIN_SOURCES})
endif()
target_include_directories(quorvel_platform PUBLIC ${CMAKE_SOURCE_DIR}/src)
quorvel_warnings(quorvel_platform)

add_library(quorvel_settings STATIC ${QUORVEL_SETTINGS_SOURCES})
target_link_libraries(quorvel_settings PUBLIC quorvel_platform)
quorvel_warnings(quorvel_settings)

# The whole portable program on this build's backend; every test program can link it.
add_library(quorvel_core STATIC
  ${QUORVEL_CONVERT_SOURCES} ${QUORVEL_MODEL_SOURCES} ${QUORVEL_APP_SOURCES})
target_link_libraries(quorvel_core PUBLIC quorvel_settings quorvel_platform)
quorvel_warnings(quorvel_core)

if(WIN32)
  # Static runtime: the program needs nothing but Windows' own DLLs.
  set(QUORVEL_STATIC_LINK -static -static-libgcc -static-libstdc++ -municode)
  set(QUORVEL_COMPANY "Quorvel Project")
  configure_file(${CMAKE_SOURCE_DIR}/cmake/QuorvelVersion.h.in ${CMAKE_BINARY_DIR}/generated/QuorvelVersion.h)
  # The icon is drawn at build time from its source, src/app/QuorvelIcon.py.
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  set(QUORVEL_ICON ${CMAKE_BINARY_DIR}/generated/Quorvel.ico)
  add_custom_command(OUTPUT ${QUORVEL_ICON}
    COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/src/app/QuorvelIcon.py ${QUORVEL_ICON}
    DEPENDS ${CMAKE_SOURCE_DIR}/src/app/QuorvelIcon.py VERBATIM)
  set_source_files_properties(${CMAKE_SOURCE_DIR}/src/app/Quorvel.rc PROPERTIES OBJECT_DEPENDS ${QUORVEL_ICON})
  add_executable(Quorvel WIN32 ${QUORVEL_APP_ENTRY_SOURCES})
  target_include_directories(Quorvel PRIVATE ${CMAKE_BINARY_DIR}/generated ${CMAKE_SOURCE_DIR}/src/app)
  target_link_libraries(Quorvel PRIVATE quorvel_core)
  target_link_options(Quorvel PRIVATE ${QUORVEL_STATIC_LINK})
  quorvel_warnings(Quorvel)
  add_subdirectory(${CMAKE_SOURCE_DIR}/samples ${CMAKE_BINARY_DIR}/samples)
endif()
