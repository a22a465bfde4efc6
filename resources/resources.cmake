# The module's numbered resources, declared once.
#
# Bitmaps (Windows type BITMAP) and wave clips (type "WAVE") are produced by
# tools/assetgen into the asset folder as bmp<N>.bmp and wave<N>.wav; the
# Windows build compiles them into the .gau with windres, the native build
# into the .so as a generated table.

include(${CMAKE_CURRENT_LIST_DIR}/resource_numbers.cmake)

# Where the generated files live. The native build makes them; the Windows
# cross build is handed the native build's folder.
if(NOT DEFINED VARDEX_ASSET_DIR)
    set(VARDEX_ASSET_DIR ${CMAKE_BINARY_DIR}/assets)
endif()

# "TYPE;NUMBER;PATH" triples, flattened.
function(vardex_resource_entries out)
    set(entries)
    foreach(n ${VARDEX_BITMAPS})
        list(APPEND entries "BITMAP|${n}|${VARDEX_ASSET_DIR}/bmp${n}.bmp")
    endforeach()
    foreach(n ${VARDEX_WAVES})
        list(APPEND entries "WAVE|${n}|${VARDEX_ASSET_DIR}/wave${n}.wav")
    endforeach()
    set(${out} ${entries} PARENT_SCOPE)
endfunction()

function(vardex_resource_files entries out)
    set(files)
    foreach(e ${entries})
        string(REPLACE "|" ";" parts "${e}")
        list(GET parts 2 path)
        list(APPEND files ${path})
    endforeach()
    set(${out} ${files} PARENT_SCOPE)
endfunction()

function(vardex_write_rc rc entries)
    file(READ ${PROJECT_SOURCE_DIR}/resources/version.rc text)
    foreach(e ${entries})
        string(REPLACE "|" ";" parts "${e}")
        list(GET parts 0 type)
        list(GET parts 1 number)
        list(GET parts 2 path)
        if(type STREQUAL "WAVE")
            string(APPEND text "${number} WAVE \"${path}\"\n")
        else()
            string(APPEND text "${number} BITMAP \"${path}\"\n")
        endif()
    endforeach()
    file(WRITE ${rc}.in "${text}")
    configure_file(${rc}.in ${rc} COPYONLY)
    vardex_resource_files("${entries}" files)
    set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS "${files}")
endfunction()

function(vardex_embed_resources table entries)
    vardex_resource_files("${entries}" files)
    set(args)
    foreach(e ${entries})
        list(APPEND args "${e}")
    endforeach()
    set(deps resembed ${files})
    if(TARGET assets AND entries)
        list(APPEND deps assets)
    endif()
    add_custom_command(OUTPUT ${table}
        COMMAND resembed ${table} ${args}
        DEPENDS ${deps}
        COMMENT "Embedding the module's resources"
        VERBATIM)
endfunction()

# One bitmap of the list: its number and, where the list states it, its size.
function(vardex_bitmap_entry entry number width height)
    if(NOT entry MATCHES "^([0-9]+)([^0-9]+([0-9]+)[^0-9]+([0-9]+))?$")
        message(FATAL_ERROR "resources/resource_numbers.cmake: bitmap entry '${entry}' is not a number and size")
    endif()
    set(${number} ${CMAKE_MATCH_1} PARENT_SCOPE)
    if(CMAKE_MATCH_2)
        set(${width} ${CMAKE_MATCH_3} PARENT_SCOPE)
        set(${height} ${CMAKE_MATCH_4} PARENT_SCOPE)
    else()
        set(${width} 0 PARENT_SCOPE)
        set(${height} 0 PARENT_SCOPE)
    endif()
endfunction()

# A C++ header listing the resources the built module must carry, for the
# tests that read them back from the built file.
function(vardex_write_expected_resources header)
    set(bitmaps "")
    foreach(entry ${VARDEX_BITMAPS})
        vardex_bitmap_entry("${entry}" number width height)
        string(APPEND bitmaps "    {${number}, ${width}, ${height}},\n")
    endforeach()
    list(LENGTH VARDEX_BITMAPS bitmap_count)
    list(JOIN VARDEX_WAVES ", " waves)
    list(LENGTH VARDEX_WAVES wave_count)
    file(CONFIGURE OUTPUT ${header} CONTENT [[
// Generated from resources/resource_numbers.cmake.
#pragma once

#include <array>

struct ExpectedBitmap {
    int number;
    int width;   // pixels; 0 where the list states no size
    int height;
};

inline constexpr std::array<ExpectedBitmap, @bitmap_count@> expectedBitmaps = {{
@bitmaps@}};

inline constexpr std::array<int, @wave_count@> expectedWaves = {@waves@};
]] @ONLY)
endfunction()
