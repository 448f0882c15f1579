# Copies the end-to-end cases that the self-test zip carries into FOLDER: every case folder, and each
# display-scale case as display-scale-<dpi>, at the same depth, so its paths to the other cases still
# hold. What a failed run left beside a reference (<reference>.actual) stays behind.
#   cmake -DSOURCE=<tests/e2e> -DFOLDER=<the bundle's cases folder> -P selftest_cases.cmake
cmake_minimum_required(VERSION 3.25)

file(GLOB cases LIST_DIRECTORIES true "${SOURCE}/cases/*")
foreach(case IN LISTS cases)
  if(EXISTS "${case}/script.txt")
    file(COPY "${case}" DESTINATION "${FOLDER}" PATTERN "*.actual" EXCLUDE)
  endif()
endforeach()
file(GLOB scales LIST_DIRECTORIES true "${SOURCE}/display-scale/*")
foreach(scale IN LISTS scales)
  get_filename_component(dpi "${scale}" NAME)
  file(COPY "${scale}/" DESTINATION "${FOLDER}/display-scale-${dpi}" PATTERN "*.actual" EXCLUDE)
endforeach()
