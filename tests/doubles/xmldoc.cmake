# A stand-in for MSXML's DOM document that records how it was set up before each load; registered
# (as Microsoft.XMLDOM) only by the test that uses it, never installed. Built as
# <build>/tests/doubles/zbt_xmldoc.dll.
find_program(PYTHON3 python3 REQUIRED)
set(XMLDOC_DOUBLE ${CMAKE_CURRENT_LIST_DIR}/xmldoc)
set(XMLDOC_STUBS ${CMAKE_CURRENT_BINARY_DIR}/xmldoc/Stubs.h)
add_custom_command(
  OUTPUT ${XMLDOC_STUBS}
  COMMAND ${PYTHON3} ${CMAKE_CURRENT_LIST_DIR}/make-stubs.py ${XMLDOC_STUBS} /usr/${MINGW_TRIPLE}/include/msxml.h -- IXMLDOMDocument
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/make-stubs.py
  COMMENT "Generating the XML document stand-in's interface stubs")
add_library(zbt_xmldoc SHARED ${XMLDOC_DOUBLE}/XmlDocument.cpp ${XMLDOC_DOUBLE}/xmldoc.def ${XMLDOC_STUBS})
set_target_properties(zbt_xmldoc PROPERTIES PREFIX "" OUTPUT_NAME zbt_xmldoc
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
target_include_directories(zbt_xmldoc PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/xmldoc)
target_link_libraries(zbt_xmldoc PRIVATE ole32 oleaut32 uuid advapi32)
target_link_options(zbt_xmldoc PRIVATE -Wl,--enable-stdcall-fixup)
