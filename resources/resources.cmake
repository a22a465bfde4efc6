# The module's numbered resources, declared once.
#
# Bitmaps (Windows type BITMAP) and wave clips (type "WAVE") are produced by
# tools/assetgen into the asset folder as bmp<N>.bmp and wave<N>.wav; the
# Windows build compiles them into the .gau with windres, the native build
# into the .so as a generated table.

include(${CMAKE_CURRENT_LIST_DIR}/resource_numbers.cmake)

# The bitmap table split into its numbers (VARDEX_BITMAP_NUMBERS) and written
# out as resource_table.h in ${VARDEX_GENERATED_DIR}, for assetgen and the
# tests. A malformed or repeated entry stops the configure step.
set(VARDEX_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
set(VARDEX_BITMAP_NUMBERS)
set(table_rows)
foreach(entry ${VARDEX_BITMAPS})
    if(NOT entry MATCHES "^([1-9][0-9]*):([1-9][0-9]*)x([1-9][0-9]*)$")
        message(FATAL_ERROR "resources/resource_numbers.cmake: VARDEX_BITMAPS entry \"${entry}\" "
                            "is not NUMBER:WIDTHxHEIGHT (for example 250:300x300)")
    endif()
    if(CMAKE_MATCH_1 IN_LIST VARDEX_BITMAP_NUMBERS)
        message(FATAL_ERROR "resources/resource_numbers.cmake: bitmap ${CMAKE_MATCH_1} is listed twice")
    endif()
    list(APPEND VARDEX_BITMAP_NUMBERS ${CMAKE_MATCH_1})
    string(APPEND table_rows "    {${CMAKE_MATCH_1}, ${CMAKE_MATCH_2}, ${CMAKE_MATCH_3}},\n")
endforeach()
string(REPLACE ";" ", " table_waves "${VARDEX_WAVES}")
file(CONFIGURE OUTPUT ${VARDEX_GENERATED_DIR}/resource_table.h CONTENT [=[
// Generated from resources/resource_numbers.cmake by resources/resources.cmake.
#pragma once

struct DeclaredBitmap {
    int number, width, height;
};

inline constexpr DeclaredBitmap declaredBitmaps[] = {
@table_rows@};

inline constexpr int declaredWaves[] = {@table_waves@};
]=] @ONLY)
unset(table_rows)
unset(table_waves)

# Where the generated files live. The native build makes them; the Windows
# cross build is handed the native build's folder.
if(NOT DEFINED VARDEX_ASSET_DIR)
    set(VARDEX_ASSET_DIR ${CMAKE_BINARY_DIR}/assets)
endif()

# "TYPE;NUMBER;PATH" triples, flattened.
function(vardex_resource_entries out)
    set(entries)
    foreach(n ${VARDEX_BITMAP_NUMBERS})
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
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/resources/version.rc)
    file(READ ${PROJECT_SOURCE_DIR}/resources/version.rc text)
    string(CONFIGURE "${text}" text @ONLY)
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
