# Run by cpack (CPACK_PRE_BUILD_SCRIPTS) on the staging folder before the
# package is made: what Debian wants of a package that an ordinary
# `cmake --install` should not do. Manual pages and the changelog are
# compressed with gzip -9n (no name or time stamp, so the bytes do not
# depend on when the package was made).

set(root ${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX})
if(NOT IS_DIRECTORY ${root}/bin)
  message(FATAL_ERROR "finish_staging: no staged install at ${root}")
endif()

function(gzip_best file)
  execute_process(COMMAND gzip -9nf ${file} RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "finish_staging: gzip ${file} failed")
  endif()
endfunction()

file(GLOB pages ${root}/${CPACK_TESSELON_MANDIR}/man*/*)
foreach(page IN LISTS pages)
  if(NOT page MATCHES "\\.gz$")
    gzip_best(${page})
  endif()
endforeach()

set(doc ${root}/${CPACK_TESSELON_DATADIR}/doc/${CPACK_PACKAGE_NAME})
set(readable OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
file(COPY ${CPACK_TESSELON_COPYRIGHT} ${CPACK_TESSELON_CHANGELOG} DESTINATION ${doc}
  FILE_PERMISSIONS ${readable}
  DIRECTORY_PERMISSIONS ${readable} OWNER_EXECUTE GROUP_EXECUTE WORLD_EXECUTE)
gzip_best(${doc}/changelog)

# cmake's strip leaves the compiler's .comment and .note sections, which
# Debian drops; shared objects are not executed, so they lose the x bits.
file(GLOB programs ${root}/bin/*)
file(GLOB_RECURSE modules ${root}/lib/*.so)
foreach(binary IN LISTS programs modules)
  execute_process(COMMAND strip --remove-section=.comment --remove-section=.note ${binary} RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "finish_staging: strip ${binary} failed")
  endif()
endforeach()
if(modules)
  file(CHMOD ${modules} PERMISSIONS ${readable})
endif()
