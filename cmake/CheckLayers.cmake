cmake_minimum_required(VERSION 3.25)

# Fails when a source file includes a header of a folder that its own folder does not use. A
# file in a sub-folder belongs to its top folder, and an include names the top folder first.
# LAYERS is one list of "folder:first-used" items, each followed by the folder's other used
# folders (a folder's entry "model:settings;platform" flattens into two items); SOURCE_DIR is
# src/; STAMP is touched when every include is in order.
set(current "")
foreach(item IN LISTS LAYERS)
    if(item MATCHES "^([a-z]+):(.*)$")
        set(current ${CMAKE_MATCH_1})
        list(APPEND folders ${current})
        set(uses_${current} "")
        if(NOT CMAKE_MATCH_2 STREQUAL "")
            list(APPEND uses_${current} ${CMAKE_MATCH_2})
        endif()
    else()
        list(APPEND uses_${current} ${item})
    endif()
endforeach()

# What a folder may include: itself and everything it uses, directly or through others.
function(reachable folder out)
    set(result ${folder})
    set(queue ${uses_${folder}})
    while(queue)
        list(POP_FRONT queue next)
        if(NOT next IN_LIST result)
            list(APPEND result ${next})
            list(APPEND queue ${uses_${next}})
        endif()
    endwhile()
    set(${out} ${result} PARENT_SCOPE)
endfunction()

set(violations "")
foreach(folder IN LISTS folders)
    reachable(${folder} allowed)
    file(GLOB_RECURSE files ${SOURCE_DIR}/${folder}/*.cpp ${SOURCE_DIR}/${folder}/*.h)
    foreach(file IN LISTS files)
        file(STRINGS ${file} includes REGEX "^#include \"[a-z]+/")
        foreach(line IN LISTS includes)
            string(REGEX REPLACE "^#include \"([a-z]+)/.*$" "\\1" target "${line}")
            if(NOT target IN_LIST allowed)
                file(RELATIVE_PATH shown ${SOURCE_DIR} ${file})
                string(APPEND violations
                       "\n  ${shown} includes ${target}/: ${folder}/ may use only ${allowed}")
            endif()
        endforeach()
    endforeach()
endforeach()

if(violations)
    message(FATAL_ERROR "Layers crossed the wrong way:${violations}")
endif()
file(TOUCH ${STAMP})
