# Fuzz runs of the plain text rules: each target is built natively with clang (libFuzzer,
# AddressSanitizer, UndefinedBehaviorSanitizer) and run for a bounded time, seeded with the inputs kept
# in tests/fuzz/corpus. Longer runs: scripts/fuzz.sh.
set(ZEMBROLATIX_FUZZ_SECONDS 30 CACHE STRING "How long each fuzz target runs in the test suite")
foreach(target properties resource_url path_rules registrar xml_declaration)
  add_test(NAME fuzz.${target}
           COMMAND ${CMAKE_SOURCE_DIR}/tests/fuzz/run.sh ${CMAKE_BINARY_DIR}/fuzz ${target} ${ZEMBROLATIX_FUZZ_SECONDS})
  set_tests_properties(fuzz.${target} PROPERTIES TIMEOUT 600)
endforeach()
