# The Debian package, made by `cpack -G DEB` in a Release build configured
# with CMAKE_INSTALL_PREFIX=/usr (`make package`). It holds what
# `cmake --install` installs, stripped, plus what Debian asks of every
# package: compressed manual pages, a copyright file and a changelog
# (packaging/finish_staging.cmake adds those in the staging folder, so that
# an ordinary install stays as it is).

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tesselon)
set(CPACK_PACKAGE_VENDOR "The Tesselon developers")
set(CPACK_PACKAGE_CONTACT "The Tesselon developers <tesselon@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "viewer for SAM Coupé mode 4 screens, converters for every mode")
# The long description as it stands in its file: read whole, so that no
# ";" in it is taken for a list separator.
file(READ ${PROJECT_SOURCE_DIR}/packaging/description CPACK_PACKAGE_DESCRIPTION)
string(STRIP "${CPACK_PACKAGE_DESCRIPTION}" CPACK_PACKAGE_DESCRIPTION)
set(CPACK_PACKAGE_HOMEPAGE_URL "https://github.com/tesselon/tesselon")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
# Directories made during the staging install do not follow the umask.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# pngtoss4 reads WebP pictures through gdk-pixbuf's WebP loader, a package
# of its own; every other format's loader comes with gdk-pixbuf.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "webp-pixbuf-loader")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${CPACK_PACKAGE_HOMEPAGE_URL})

# The maintainer scripts refresh the caches that the file type, the launcher
# entry and the loader module join; the loader cache's tool lives under the
# multiarch library folder.
if(GDK_PIXBUF_QUERY_LOADERS)
  set(PIXBUF_QUERY_LOADERS ${GDK_PIXBUF_QUERY_LOADERS})
else()
  set(PIXBUF_QUERY_LOADERS /usr/lib/${CMAKE_LIBRARY_ARCHITECTURE}/gdk-pixbuf-2.0/gdk-pixbuf-query-loaders)
endif()
foreach(script postinst postrm)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/${script}.in ${PROJECT_BINARY_DIR}/packaging/${script} @ONLY)
endforeach()
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_BINARY_DIR}/packaging/postinst ${PROJECT_BINARY_DIR}/packaging/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# The copyright file in Debian's machine-readable form, its licence text
# taken from LICENSE (everything after the copyright line).
file(STRINGS ${PROJECT_SOURCE_DIR}/LICENSE license_lines)
set(copyright_text "")
set(past_holder OFF)
foreach(line IN LISTS license_lines)
  if(past_holder)
    if(line STREQUAL "")
      string(APPEND copyright_text " .\n")
    else()
      string(APPEND copyright_text " ${line}\n")
    endif()
  elseif(line MATCHES "^Copyright \\(c\\) (.*)$")
    set(holder ${CMAKE_MATCH_1})
    set(past_holder ON)
  endif()
endforeach()
# The blank line after the copyright line opened the text.
string(REGEX REPLACE "^ \\.\n" "" copyright_text "${copyright_text}")
file(WRITE ${PROJECT_BINARY_DIR}/packaging/copyright
  "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
  "Upstream-Name: Tesselon\n"
  "Upstream-Contact: ${CPACK_PACKAGE_CONTACT}\n"
  "Source: ${CPACK_PACKAGE_HOMEPAGE_URL}\n"
  "\n"
  "Files: *\n"
  "Copyright: ${holder}\n"
  "License: Expat\n"
  "${copyright_text}")

# Read by packaging/finish_staging.cmake when cpack runs it.
set(CPACK_TESSELON_COPYRIGHT ${PROJECT_BINARY_DIR}/packaging/copyright)
set(CPACK_TESSELON_CHANGELOG ${PROJECT_SOURCE_DIR}/packaging/changelog)
set(CPACK_TESSELON_DATADIR ${CMAKE_INSTALL_DATADIR})
set(CPACK_TESSELON_MANDIR ${CMAKE_INSTALL_MANDIR})
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/packaging/finish_staging.cmake)

include(CPack)

# What the package holds, and nothing more: `make package` builds this
# target instead of everything (tests, samples, benchmarks).
add_custom_target(package_contents)
foreach(target tesselon ss4topng pngtoss4 pixbuf_loader_ss4 pixbuf_loader_ss3)
  if(TARGET ${target})
    add_dependencies(package_contents ${target})
  endif()
endforeach()

# The package's checks run in the build that makes it (`make package`
# configures it with TESSELON_PACKAGE_TESTS=ON), labelled "package".
option(TESSELON_PACKAGE_TESTS "Check the Debian package that cpack makes in this build" OFF)
if(TESSELON_PACKAGE_TESTS)
  add_subdirectory(tests/package)
endif()
