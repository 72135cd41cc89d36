# The loopback HTTP server of the download tests: started before the tests that need it, stopped after.
add_test(NAME download.http.start COMMAND ${CMAKE_SOURCE_DIR}/tests/download/http-server.sh start ${CMAKE_BINARY_DIR})
set_tests_properties(download.http.start PROPERTIES FIXTURES_SETUP httpserver TIMEOUT 60)
add_test(NAME download.http.stop COMMAND ${CMAKE_SOURCE_DIR}/tests/download/http-server.sh stop ${CMAKE_BINARY_DIR})
set_tests_properties(download.http.stop PROPERTIES FIXTURES_CLEANUP httpserver TIMEOUT 60)
if(TEST script.persist)
  set_tests_properties(script.persist PROPERTIES FIXTURES_REQUIRED "prefix;httpserver")
endif()
