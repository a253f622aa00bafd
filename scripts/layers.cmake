# The layers of src/ and what each may use. Included by the top-level CMakeLists.txt, whose
# configuration then fails when a library that must not reach the toolkit links it; run as a
# script (cmake -DSOURCE_DIR=... -P layers.cmake, the test layering_test), it fails on an include
# from a lower layer to a higher one, and on a toolkit include outside src/runtime.
#
#   runtime <- level <- game, editor, render <- play <- solver <- app <- app/automation

# Each folder of src/ with the folders its files may include.
set(TESSARON_LAYERS
    "runtime: runtime"
    "level: runtime level"
    "game: runtime level game"
    "editor: runtime level editor"
    "render: runtime level render"
    "play: runtime level game render play"
    "solver: runtime level game render play solver"
    "app: runtime level game editor render play solver app"
    "app/automation: runtime level game editor render play solver app app/automation")

# The libraries that must not link the toolkit (Qt, SDL), also not through another library.
set(TESSARON_TOOLKIT_FREE_LIBRARIES
    tessaron_files
    tessaron_collision_masks
    tessaron_picture
    tessaron_level
    tessaron_game_geometry
    tessaron_level_check
    tessaron_game
    tessaron_editor
    tessaron_render_frame
    tessaron_play
    tessaron_solver
    tessaron_automation_text)

# The one library that links the toolkit itself; every other reaches it through this one.
set(TESSARON_TOOLKIT_LIBRARY tessaron_screen)

# The folder of src/ a path inside src/ belongs to.
function(tessaron_layer_of path out)
    if(path MATCHES "^app/automation/")
        set(${out} "app/automation" PARENT_SCOPE)
    else()
        string(REGEX REPLACE "/.*" "" folder "${path}")
        set(${out} "${folder}" PARENT_SCOPE)
    endif()
endfunction()

function(tessaron_allowed_includes layer out)
    foreach(entry IN LISTS TESSARON_LAYERS)
        string(REGEX MATCH "^([^:]+): (.*)$" matched "${entry}")
        if(CMAKE_MATCH_1 STREQUAL layer)
            string(REPLACE " " ";" allowed "${CMAKE_MATCH_2}")
            set(${out} "${allowed}" PARENT_SCOPE)
            return()
        endif()
    endforeach()
    set(${out} "" PARENT_SCOPE)
endfunction()

# Every library and imported target that `target` links, directly or through others.
function(tessaron_link_closure target out)
    set(seen "")
    set(queue "${target}")
    while(queue)
        list(POP_FRONT queue current)
        if(current IN_LIST seen)
            continue()
        endif()
        list(APPEND seen "${current}")
        if(NOT TARGET "${current}")
            continue()
        endif()
        get_target_property(imported "${current}" IMPORTED)
        if(imported)
            get_target_property(links "${current}" INTERFACE_LINK_LIBRARIES)
        else()
            get_target_property(links "${current}" LINK_LIBRARIES)
        endif()
        foreach(link IN LISTS links)
            string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" link "${link}")
            if(link AND NOT link MATCHES "^\\$<")
                list(APPEND queue "${link}")
            endif()
        endforeach()
    endwhile()
    set(${out} "${seen}" PARENT_SCOPE)
endfunction()

# Called at the end of the configuration: the toolkit-free libraries link no toolkit, and only
# the machine layer's screen library names the toolkit among its own links.
function(tessaron_check_links)
    foreach(library IN LISTS TESSARON_TOOLKIT_FREE_LIBRARIES)
        tessaron_link_closure(${library} closure)
        foreach(link IN LISTS closure)
            if(link MATCHES "^(Qt6|SDL2)::" OR link STREQUAL TESSARON_TOOLKIT_LIBRARY)
                message(FATAL_ERROR "${library} must not link the toolkit, but links ${link}")
            endif()
        endforeach()
    endforeach()
    foreach(folder runtime level game editor render play solver app app/automation)
        get_property(targets DIRECTORY "${PROJECT_SOURCE_DIR}/src/${folder}"
                     PROPERTY BUILDSYSTEM_TARGETS)
        foreach(target IN LISTS targets)
            get_target_property(links ${target} LINK_LIBRARIES)
            foreach(link IN LISTS links)
                if(link MATCHES "^(Qt6|SDL2)::" AND NOT target STREQUAL TESSARON_TOOLKIT_LIBRARY)
                    message(FATAL_ERROR "${target} links ${link} itself; only "
                                        "${TESSARON_TOOLKIT_LIBRARY} may")
                endif()
            endforeach()
        endforeach()
    endforeach()
endfunction()

# Script mode: the includes of every source file of src/.
if(CMAKE_SCRIPT_MODE_FILE)
    cmake_minimum_required(VERSION 3.25)
    file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}/src" "${SOURCE_DIR}/src/*.h"
         "${SOURCE_DIR}/src/*.cpp")
    set(faults "")
    foreach(source IN LISTS sources)
        tessaron_layer_of("${source}" layer)
        tessaron_allowed_includes("${layer}" allowed)
        if(NOT allowed)
            list(APPEND faults "src/${source}: the folder ${layer} has no place among the layers")
            continue()
        endif()
        file(STRINGS "${SOURCE_DIR}/src/${source}" includes REGEX "^[ \t]*#[ \t]*include")
        foreach(line IN LISTS includes)
            if(line MATCHES "#[ \t]*include[ \t]*\"([^\"]+)\"")
                tessaron_layer_of("${CMAKE_MATCH_1}" used)
                if(NOT used IN_LIST allowed)
                    list(APPEND faults "src/${source}: ${layer} includes ${CMAKE_MATCH_1}")
                endif()
            elseif(line MATCHES "#[ \t]*include[ \t]*<((Q|SDL)[^>]*)>" AND NOT layer STREQUAL
                                                                           "runtime")
                list(APPEND faults "src/${source}: a toolkit include <${CMAKE_MATCH_1}>")
            endif()
        endforeach()
    endforeach()
    if(faults)
        list(JOIN faults "\n  " text)
        message(FATAL_ERROR "Includes against the layers:\n  ${text}")
    endif()
    list(LENGTH sources count)
    message(STATUS "${count} files of src/ include only what their layer may")
endif()
