# Extraction of one large member by the archive back end, beside Info-ZIP's unzip.
if(TARGET dunzip32 AND TARGET dunzip32_testkit)
  orvinta_add_bench(bench_dunzip32 SOURCES ${CMAKE_CURRENT_LIST_DIR}/dunzip32_extract.cpp
    LIBS dunzip32 dunzip32_testkit)
endif()
