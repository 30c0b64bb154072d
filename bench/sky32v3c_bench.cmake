# JPEG decoding by the imaging back end (scaled and full size) beside bare libjpeg-turbo.
if(TARGET sky32v3c)
  find_package(JPEG REQUIRED)
  orvinta_add_bench(bench_sky32v3c SOURCES ${CMAKE_CURRENT_LIST_DIR}/sky32v3c_bench.cpp
    LIBS sky32v3c JPEG::JPEG Qt6::Gui)
endif()
