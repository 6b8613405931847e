# The stub: a freestanding Win32 GUI program with its own entry point and no C
# runtime, padded to exactly the stub length that the package format fixes
# (kStubLength in src/package/record_format.h, which the padding step reads).

set(KQ_STUB_CORE_SOURCES
  src/text/text_buffers.cpp
  src/platform/platform.cpp
  src/script/script.cpp
  src/script/section_image.cpp
  src/package/extract_record.cpp
  src/package/package_check.cpp
  src/package/install_placement.cpp
  src/ui/backdrop.cpp
  src/ui/wizard.cpp
  src/ui/directory_browser.cpp
  src/install/install_sequence.cpp
  src/install/registration.cpp
  src/uninstall/uninstall.cpp
  src/startup/entry.cpp
)
list(TRANSFORM KQ_STUB_CORE_SOURCES PREPEND "${CMAKE_SOURCE_DIR}/")

# Dialog templates, icon and strings. A resource object pulls in no symbol, so
# a static library would drop it: every program that shows the dialogs (the
# stub and the in-process UI tests) lists it among its own sources.
# CMake follows only the #include lines of a resource script, so the files its
# statements name are listed as dependencies.
enable_language(RC)
set(KQ_STUB_RESOURCES "${CMAKE_SOURCE_DIR}/src/ui/resources/setup.rc")
set_source_files_properties(${KQ_STUB_RESOURCES} PROPERTIES
  OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/src/ui/resources/setup_icon.ico")

set(KQ_FREESTANDING_FLAGS
  -Oz -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables -fno-unwind-tables
  -fno-threadsafe-statics -fno-stack-protector -ffunction-sections
  -fno-ident -fno-use-cxa-atexit
  # (No -fdata-sections: with it MinGW GCC puts zero-initialised variables in
  # .data sections of their own, stored in the file, rather than in .bss.)
  # No C library to call into: keep loops from turning into strlen or memset calls.
  -fno-tree-loop-distribute-patterns)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  # Windows keeps a 32-bit stack 4-byte aligned, no more; asking for 16 costs
  # an aligning prologue in every function that keeps a double or a large array.
  list(APPEND KQ_FREESTANDING_FLAGS -mpreferred-stack-boundary=2)
  # The stub's own functions take their first three arguments in registers,
  # and arguments are pushed rather than stored below a frame made up front:
  # together with no frame pointer, some 6 KB less code. Every call into or
  # from Windows keeps its arguments on the stack: the headers declare them
  # through __stdcall (WINAPI, CALLBACK, COM methods) or __cdecl, which
  # otherwise would follow -mregparm too, so both are redefined to say
  # regparm(0). Nothing else is linked (no C runtime, no libgcc), so no
  # other code expects the stack convention.
  # Pushed arguments rule out stack probes; a frame below a page needs none,
  # and the frame size warning keeps every frame there (no frame may skip the
  # stack's guard page).
  list(APPEND KQ_FREESTANDING_FLAGS -mregparm=3 -fomit-frame-pointer
    -mno-accumulate-outgoing-args -mno-stack-arg-probe -Wframe-larger-than=4000
    -U__stdcall "-D__stdcall=__attribute__((__stdcall__,__regparm__(0)))"
    -U__cdecl "-D__cdecl=__attribute__((__cdecl__,__regparm__(0)))")
endif()

# Everything of the stub but its process entry, so that the Windows-side tests
# can link the same code into an ordinary test program.
# -Oz everywhere but where every decoded byte passes (the decoder's loop, its
# tree update, the CRC), where speed is worth the bytes.
set_source_files_properties("${CMAKE_SOURCE_DIR}/src/package/lzhuf_decoder.cpp"
  "${CMAKE_SOURCE_DIR}/src/package/lzhuf_tree.cpp" "${CMAKE_SOURCE_DIR}/src/package/package_integrity.cpp"
  PROPERTIES COMPILE_OPTIONS -Os)
add_library(kqstub_core STATIC ${KQ_STUB_CORE_SOURCES} ${KQ_PORTABLE_SOURCES})
target_include_directories(kqstub_core PUBLIC "${CMAKE_SOURCE_DIR}/src")
target_compile_options(kqstub_core PRIVATE ${KQ_FREESTANDING_FLAGS})
target_compile_definitions(kqstub_core PUBLIC WINVER=0x0501 _WIN32_WINNT=0x0501 _WIN32_IE=0x0500)
# System DLLs only, for the stub and for the test programs that link its code.
# comctl32 and comdlg32 are loaded from the system folder when needed, never imported.
target_link_libraries(kqstub_core PUBLIC kq_warnings
  kernel32 user32 gdi32 advapi32 shell32 ole32)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(KQ_STUB_NAME kqstub64)
  set(KQ_ENTRY_SYMBOL WinMainCRTStartup)
else()
  set(KQ_STUB_NAME kqstub)
  set(KQ_ENTRY_SYMBOL _WinMainCRTStartup)
endif()

# The manifest and the version information: the stub's alone, since a test
# program that carried them would ask for elevation. The version numbers are
# the project's (project() in the top-level CMakeLists.txt).
set(KQ_STUB_PROGRAM_RESOURCES "${CMAKE_SOURCE_DIR}/src/startup/program.rc")
set_source_files_properties(${KQ_STUB_PROGRAM_RESOURCES} PROPERTIES
  COMPILE_DEFINITIONS "KQ_VERSION_MAJOR=${PROJECT_VERSION_MAJOR};KQ_VERSION_MINOR=${PROJECT_VERSION_MINOR};KQ_VERSION_PATCH=${PROJECT_VERSION_PATCH}"
  OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/src/startup/kqstub.manifest")

add_executable(kqstub WIN32
  src/startup/process_start.cpp
  src/startup/runtime.cpp
  ${KQ_STUB_RESOURCES}
  ${KQ_STUB_PROGRAM_RESOURCES})
# (Not for its resource scripts, which have no use for the code flags.)
target_compile_options(kqstub PRIVATE "$<$<COMPILE_LANGUAGE:CXX>:${KQ_FREESTANDING_FLAGS}>")
target_link_libraries(kqstub PRIVATE kqstub_core)
include(${CMAKE_CURRENT_LIST_DIR}/stub_linker_script.cmake)
set(KQ_STUB_LINKER_SCRIPT "${CMAKE_BINARY_DIR}/kqstub.ld")
kq_write_stub_linker_script("${KQ_STUB_LINKER_SCRIPT}")
target_link_options(kqstub PRIVATE
  -nostdlib -nostartfiles -static -s -Wl,--gc-sections -Wl,-e,${KQ_ENTRY_SYMBOL}
  -Wl,--no-insert-timestamp -Wl,-T,${KQ_STUB_LINKER_SCRIPT})
set_target_properties(kqstub PROPERTIES LINK_DEPENDS "${KQ_STUB_LINKER_SCRIPT}")
# No libgcc: its helpers (64-bit division, stack probes) follow the stack
# convention, and the stub needs none of them; a new need fails the link.
set_target_properties(kqstub PROPERTIES
  OUTPUT_NAME ${KQ_STUB_NAME}
  RUNTIME_OUTPUT_DIRECTORY "${KQ_BIN_DIR}")
add_custom_command(TARGET kqstub POST_BUILD
  COMMAND ${CMAKE_COMMAND} -DSTUB=$<TARGET_FILE:kqstub>
          -DFORMAT_HEADER=${CMAKE_SOURCE_DIR}/src/package/record_format.h
          -P "${CMAKE_SOURCE_DIR}/cmake/pad_stub.cmake"
  VERBATIM)
