# The module: one source tree, two builds.
#   native:  Vardex_Instr.so  (development host and tests; platform/portable)
#   Windows: Vardex_Instr.gau (what users install; platform/win32, windres)
# Files under a folder named win32/ build only for Windows, files under a
# folder named portable/ only natively.

include(${CMAKE_CURRENT_LIST_DIR}/../resources/resources.cmake)

set(VARDEX_MODULE_DIRS framework instruments radios panel sound extras platform)

function(vardex_module_sources out)
    set(globs)
    foreach(dir ${VARDEX_MODULE_DIRS})
        list(APPEND globs ${PROJECT_SOURCE_DIR}/${dir}/*.cpp)
    endforeach()
    file(GLOB_RECURSE all CONFIGURE_DEPENDS ${globs})
    if(WIN32)
        list(FILTER all EXCLUDE REGEX "/portable/")
    else()
        list(FILTER all EXCLUDE REGEX "/win32/")
    endif()
    set(${out} ${all} PARENT_SCOPE)
endfunction()

# vardex_add_module(name [NO_RESOURCES]): NO_RESOURCES builds the records
# alone, with an empty resource table (the asset generator reads them).
function(vardex_add_module name)
    cmake_parse_arguments(arg "NO_RESOURCES" "" "" ${ARGN})
    vardex_module_sources(sources)
    set(entries)
    if(NOT arg_NO_RESOURCES)
        vardex_resource_entries(entries)
    endif()
    add_library(${name} MODULE ${sources})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
    set_target_properties(${name} PROPERTIES
        PREFIX ""
        CXX_VISIBILITY_PRESET hidden
        VISIBILITY_INLINES_HIDDEN ON)
    if(WIN32)
        # Static runtime and no decoration: the host sees exactly Linkage and
        # ImportTable, and the file needs nothing beyond system DLLs.
        set(rc ${CMAKE_CURRENT_BINARY_DIR}/${name}.rc)
        vardex_write_rc(${rc} "${entries}")
        target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/framework/win32/Vardex_Instr.def ${rc})
        set_target_properties(${name} PROPERTIES SUFFIX ".gau")
        # Stripped (-s): the file users install carries no debug sections; it
        # is the same file the Windows tests prove.
        target_link_options(${name} PRIVATE -static -static-libgcc -static-libstdc++ -Wl,--enable-stdcall-fixup -s)
        target_link_libraries(${name} PRIVATE kernel32 user32 winmm dsound)
    else()
        set(table ${CMAKE_CURRENT_BINARY_DIR}/${name}_resources.cpp)
        vardex_embed_resources(${table} "${entries}")
        target_sources(${name} PRIVATE ${table})
        set_target_properties(${name} PROPERTIES SUFFIX ".so")
        # SDL2's headers only: the sound back end loads the library itself
        # when a gauge first wants sound (sound/portable/sdl_library.h).
        find_package(PkgConfig REQUIRED)
        pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
        target_include_directories(${name} PRIVATE $<TARGET_PROPERTY:PkgConfig::SDL2,INTERFACE_INCLUDE_DIRECTORIES>)
        target_compile_options(${name} PRIVATE $<TARGET_PROPERTY:PkgConfig::SDL2,INTERFACE_COMPILE_OPTIONS>)
        target_link_libraries(${name} PRIVATE ${CMAKE_DL_LIBS})
        target_link_options(${name} PRIVATE -Wl,--no-undefined)
    endif()
endfunction()
