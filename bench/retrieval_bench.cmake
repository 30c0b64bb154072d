# A 20 MB picture retrieved from its archive through the program's retrieval, beside
# Info-ZIP's unzip of the same archive.
if(TARGET orvinta_retrieval AND TARGET retrieval_testkit)
  orvinta_add_bench(bench_retrieval SOURCES ${CMAKE_CURRENT_LIST_DIR}/retrieval_bench.cpp
    LIBS orvinta_retrieval retrieval_testkit)
endif()
