# Flags of a fuzzing build: every library gets coverage instrumentation
# (but for the pixel loops coverage_ignorelist.txt names) and the
# sanitizers; only the fuzz targets link the fuzzer's own main. gcc has no
# libFuzzer, so such a build must use clang.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "TESSELON_FUZZ needs clang: configure with -DCMAKE_CXX_COMPILER=clang++")
endif()
add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
add_compile_options(-fsanitize-coverage-ignorelist=${CMAKE_CURRENT_LIST_DIR}/coverage_ignorelist.txt)
add_link_options(-fsanitize=address,undefined)
