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
