# A 6000 x 4000 JPEG through the picture control (fitted to the viewer and at full size)
# beside bare libjpeg-turbo; peak memory of the fitted load.
if(TARGET orvinta_imaging)
  find_package(JPEG REQUIRED)
  orvinta_add_bench(bench_imaging SOURCES ${CMAKE_CURRENT_LIST_DIR}/imaging_bench.cpp
    LIBS orvinta_imaging JPEG::JPEG)
endif()
