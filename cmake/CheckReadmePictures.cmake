cmake_minimum_required(VERSION 3.25)

# Fails when README.md shows a picture that the repository does not hold: a file that exists
# here but is untracked or ignored is missing for everyone who reads the README elsewhere.
# SOURCE_DIR is the checkout. Outside a git checkout (a source tarball) only existence counts.
file(READ "${SOURCE_DIR}/README.md" readme)
string(REGEX MATCHALL "!\\[[^]]*\\]\\([A-Za-z0-9_./-]+\\.png\\)" links "${readme}")
find_package(Git QUIET)
set(missing "")
foreach(link IN LISTS links)
    string(REGEX REPLACE "^.*\\((.*)\\)$" "\\1" path "${link}")
    if(NOT EXISTS "${SOURCE_DIR}/${path}")
        list(APPEND missing "${path}")
    elseif(GIT_FOUND AND EXISTS "${SOURCE_DIR}/.git")
        execute_process(COMMAND "${GIT_EXECUTABLE}" -C "${SOURCE_DIR}" ls-files --error-unmatch
                                "${path}"
                        RESULT_VARIABLE untracked OUTPUT_QUIET ERROR_QUIET)
        if(untracked)
            list(APPEND missing "${path} (not in the repository)")
        endif()
    endif()
endforeach()
if(NOT links)
    message(FATAL_ERROR "README.md shows no pictures; this check expects some")
endif()
if(missing)
    list(JOIN missing "\n  " listed)
    message(FATAL_ERROR "README.md shows pictures the repository lacks:\n  ${listed}")
endif()
