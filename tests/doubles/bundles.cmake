# A script application's module holding its properties files as resources of type "PROPERTIES"
# (named after the upper-cased file name), with start-up code that leaves a trace when it runs.
# Built as <build>/tests/doubles/zbt_bundle_module.dll.
add_library(zbt_bundle_module SHARED
  ${CMAKE_CURRENT_LIST_DIR}/bundle_module/module.c
  ${CMAKE_CURRENT_LIST_DIR}/bundle_module/module.rc)
set_target_properties(zbt_bundle_module PROPERTIES PREFIX "" OUTPUT_NAME zbt_bundle_module
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/bundle_module/module.rc PROPERTIES
  OBJECT_DEPENDS "${CMAKE_CURRENT_LIST_DIR}/bundle_module/app.properties;${CMAKE_CURRENT_LIST_DIR}/bundle_module/empty.properties")
target_include_directories(zbt_bundle_module PRIVATE ${CMAKE_CURRENT_LIST_DIR}/bundle_module)
