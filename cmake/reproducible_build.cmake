# Makes the Windows build reproducible: the same commit gives the same Tarvel.exe, byte for byte, whatever
# folder it is checked out and built in and whenever it is built (https://reproducible-builds.org).
#
# Source paths: GCC records a source file as its path from the repository's root (app/main.cpp), so
# __FILE__ in the error checks tells nothing of where the builder keeps the sources.
#
# Build time: one time for the whole build, TARVEL_SOURCE_DATE_EPOCH (seconds since 1970, UTC), which the
# linker writes into the PE header and the release zip gives every entry. It is SOURCE_DATE_EPOCH when
# that is set, otherwise the date of the commit checked out. A tree with uncommitted changes (or no git
# history) is no commit's: the build says so and takes the current time. It is decided when CMake
# configures the tree; scripts/package configures every time.
include_guard(GLOBAL)

if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(TARVEL_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
  if(NOT TARVEL_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
    message(FATAL_ERROR "SOURCE_DATE_EPOCH must be a number of seconds since 1970, not '${TARVEL_SOURCE_DATE_EPOCH}'")
  endif()
else()
  find_package(Git QUIET)
  set(no_commit "")
  if(NOT GIT_FOUND)
    set(no_commit "git was not found")
  else()
    # --no-optional-locks: a build must not take the index lock from a git command the developer runs.
    execute_process(COMMAND ${GIT_EXECUTABLE} --no-optional-locks status --porcelain
                    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                    RESULT_VARIABLE git_result OUTPUT_VARIABLE git_changes ERROR_VARIABLE git_error)
    if(NOT git_result EQUAL 0)
      string(STRIP "${git_error}" git_error)
      set(no_commit "git cannot read the source tree (${git_error})")
    elseif(NOT git_changes STREQUAL "")
      set(no_commit "the source tree has uncommitted changes")
    else()
      execute_process(COMMAND ${GIT_EXECUTABLE} log -1 --format=%ct
                      WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                      OUTPUT_VARIABLE TARVEL_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    endif()
  endif()
  if(no_commit)
    string(TIMESTAMP TARVEL_SOURCE_DATE_EPOCH "%s" UTC)
    message(NOTICE "Tarvel: ${no_commit}, so this build is no commit's and takes the current time "
                   "(SOURCE_DATE_EPOCH=${TARVEL_SOURCE_DATE_EPOCH}); another build will not give the same bytes.")
  endif()
endif()

add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-ffile-prefix-map=${PROJECT_SOURCE_DIR}/=>)
# Debian's mingw-w64 linker puts SOURCE_DATE_EPOCH into the PE header's TimeDateStamp (and so into its
# CheckSum) instead of the link time; --no-insert-timestamp would write 0 there instead. The time is part
# of the link command, so a new time relinks.
set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${TARVEL_SOURCE_DATE_EPOCH})
