# Copies the shipped files of SRC into DST where DST lacks them. Files the
# program or its user changed there (the places file, the configuration, the
# case database) are never overwritten by a rebuild.
file(GLOB_RECURSE files RELATIVE "${SRC}" "${SRC}/*")
foreach(f IN LISTS files)
  if(NOT EXISTS "${DST}/${f}")
    get_filename_component(dir "${DST}/${f}" DIRECTORY)
    file(MAKE_DIRECTORY "${dir}")
    file(COPY "${SRC}/${f}" DESTINATION "${dir}")
  endif()
endforeach()
