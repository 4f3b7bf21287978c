# The real plug-in: a 32-bit Windows DLL that imports the host's functions by
# name from blackbox.exe and needs no runtime DLL beyond the system's.

# The import library for blackbox.exe, made from its export list. dlltool gives
# the link symbols the leading underscore of 32-bit cdecl C names by itself and
# keeps the imported names undecorated ("ReadInt"), as the host exports them;
# its -U would put the underscore into the imported names too ("_ReadInt").
set(HOST_IMPORT_LIB ${CMAKE_BINARY_DIR}/libblackbox.a)
add_custom_command(
    OUTPUT ${HOST_IMPORT_LIB}
    COMMAND ${MINGW_DLLTOOL} -d ${CMAKE_SOURCE_DIR}/host/blackbox.def -l ${HOST_IMPORT_LIB}
    DEPENDS ${CMAKE_SOURCE_DIR}/host/blackbox.def
    COMMENT "Making the import library for blackbox.exe")
add_custom_target(blackbox_import DEPENDS ${HOST_IMPORT_LIB})

# Small and self-contained: no exceptions or RTTI, the system's msvcrt printf
# family instead of MinGW's own, the compiler runtime linked statically and no
# C runtime start-up code. No -fdata-sections: with it, MinGW's compiler puts
# zero-filled variables into data sections of their own, which take room in
# the file, instead of into .bss.
set(WIN32_COMPILE_OPTIONS ${WARNINGS} -Os -fno-exceptions -fno-rtti
    -fno-asynchronous-unwind-tables -fno-unwind-tables -fno-threadsafe-statics
    -ffunction-sections)
set(WIN32_DEFINITIONS __USE_MINGW_ANSI_STDIO=0 WIN32_LEAN_AND_MEAN NOMINMAX)

add_library(Marrowick SHARED ${PLUGIN_SOURCES} ${CMAKE_SOURCE_DIR}/plugin/dllmain.cpp
    ${CMAKE_SOURCE_DIR}/plugin/Marrowick.def)
add_dependencies(Marrowick blackbox_import)
set_target_properties(Marrowick PROPERTIES PREFIX "" OUTPUT_NAME Marrowick)
target_include_directories(Marrowick PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_options(Marrowick PRIVATE ${WIN32_COMPILE_OPTIONS})
target_compile_definitions(Marrowick PRIVATE ${WIN32_DEFINITIONS})
# No C runtime start-up code: the loader enters DllMain directly.
target_link_options(Marrowick PRIVATE -static-libgcc -static-libstdc++ -s -nostartfiles
    -Wl,-e,_DllMain@12 -Wl,--gc-sections -Wl,--no-insert-timestamp)
target_link_libraries(Marrowick PRIVATE ${HOST_IMPORT_LIB} user32 gdi32 kernel32)

# The version resource that Windows shows in the DLL's properties, compiled
# from a script that takes every text from plugin/version.h. windres runs on
# its own so that none of the C++ options above reach it.
set(VERSION_RESOURCE_OBJ ${CMAKE_BINARY_DIR}/version_resource.o)
add_custom_command(
    OUTPUT ${VERSION_RESOURCE_OBJ}
    COMMAND ${CMAKE_RC_COMPILER} -I ${CMAKE_SOURCE_DIR} -O coff
        -i ${CMAKE_SOURCE_DIR}/plugin/version_resource.rc -o ${VERSION_RESOURCE_OBJ}
    DEPENDS ${CMAKE_SOURCE_DIR}/plugin/version_resource.rc ${CMAKE_SOURCE_DIR}/plugin/version.h
    COMMENT "Compiling the version resource")
target_sources(Marrowick PRIVATE ${VERSION_RESOURCE_OBJ})

if(EXISTS ${CMAKE_SOURCE_DIR}/devhost/CMakeLists.txt)
    add_subdirectory(devhost)
endif()
