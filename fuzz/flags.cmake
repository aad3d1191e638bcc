# Every object of the fuzz build carries the fuzzer's coverage and the sanitizers; only the
# fuzz targets link the fuzzer's main (fuzz/CMakeLists.txt).
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang" OR NOT CMAKE_C_COMPILER_ID STREQUAL "Clang")
  message(FATAL_ERROR "BRENVALE_FUZZ needs clang: configure with CC=clang-16 CXX=clang++-16")
endif()
if(BRENVALE_SANITIZE OR BRENVALE_TSAN)
  message(FATAL_ERROR "BRENVALE_FUZZ brings its own sanitizers: leave BRENVALE_SANITIZE and BRENVALE_TSAN off")
endif()
add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
                    -fno-omit-frame-pointer -g)
add_link_options(-fsanitize=address,undefined)
