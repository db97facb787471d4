# Creates helpfiles/ and simulations/ in RUNTIME_DIR and copies the source tree's files into them.
foreach(folder helpfiles simulations)
  file(MAKE_DIRECTORY ${RUNTIME_DIR}/${folder})
  if(IS_DIRECTORY ${SOURCE_ROOT}/${folder})
    file(COPY ${SOURCE_ROOT}/${folder}/ DESTINATION ${RUNTIME_DIR}/${folder})
  endif()
endforeach()
