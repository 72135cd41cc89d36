# A stand-in for the browser (InternetExplorer.Application) in test prefixes, with a probe object
# for tests, and a module of test pages. Built as <build>/tests/doubles/zbt_browser.dll and
# zbt_pages.dll; registered by tests/make-prefix.sh, never installed.
set(BROWSER_DOUBLE ${CMAKE_CURRENT_LIST_DIR}/browser)
find_program(PYTHON3 python3 REQUIRED)
set(BROWSER_STUBS ${CMAKE_CURRENT_BINARY_DIR}/browser/Stubs.h)
add_custom_command(
  OUTPUT ${BROWSER_STUBS}
  COMMAND ${PYTHON3} ${CMAKE_CURRENT_LIST_DIR}/make-stubs.py ${BROWSER_STUBS}
          /usr/${MINGW_TRIPLE}/include/exdisp.h /usr/${MINGW_TRIPLE}/include/mshtml.h
          -- IWebBrowser2 IHTMLWindow2 IHTMLDocument2 IHTMLLocation
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/make-stubs.py
  COMMENT "Generating the browser stand-in's interface stubs")
add_library(zbt_browser SHARED
  ${BROWSER_DOUBLE}/Browser.cpp ${BROWSER_DOUBLE}/Html.cpp ${BROWSER_DOUBLE}/Module.cpp ${BROWSER_DOUBLE}/Page.cpp
  ${BROWSER_DOUBLE}/browser.def ${CMAKE_SOURCE_DIR}/src/shared/Win32.cpp ${BROWSER_STUBS})
set_target_properties(zbt_browser PROPERTIES PREFIX "" OUTPUT_NAME zbt_browser
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
target_include_directories(zbt_browser PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_CURRENT_BINARY_DIR}/browser)
target_link_libraries(zbt_browser PRIVATE ole32 oleaut32 uuid urlmon user32 comctl32 advapi32)
target_link_options(zbt_browser PRIVATE -Wl,--enable-stdcall-fixup)

# Pages: add a file under browser/pages and a line in pages.rc.
file(GLOB BROWSER_PAGES CONFIGURE_DEPENDS ${BROWSER_DOUBLE}/pages/*.html)
add_library(zbt_pages SHARED ${BROWSER_DOUBLE}/pages/pages.c ${BROWSER_DOUBLE}/pages/pages.rc)
set_target_properties(zbt_pages PROPERTIES PREFIX "" OUTPUT_NAME zbt_pages
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
# XPCOMARGS.HTML carries compat/xpcom.js inline, written into the build folder.
set(XPCOM_PAGE ${CMAKE_CURRENT_BINARY_DIR}/pages/xpcomargs.html)
add_custom_command(OUTPUT ${XPCOM_PAGE}
  COMMAND ${CMAKE_COMMAND} -DTEMPLATE=${BROWSER_DOUBLE}/pages/xpcomargs.html.in
          -DSCRIPT=${CMAKE_SOURCE_DIR}/compat/xpcom.js -DOUT=${XPCOM_PAGE} -P ${BROWSER_DOUBLE}/pages/inline-script.cmake
  DEPENDS ${BROWSER_DOUBLE}/pages/xpcomargs.html.in ${CMAKE_SOURCE_DIR}/compat/xpcom.js
          ${BROWSER_DOUBLE}/pages/inline-script.cmake)
set_source_files_properties(${BROWSER_DOUBLE}/pages/pages.rc PROPERTIES OBJECT_DEPENDS "${BROWSER_PAGES};${XPCOM_PAGE}")
target_include_directories(zbt_pages PRIVATE ${BROWSER_DOUBLE}/pages ${CMAKE_CURRENT_BINARY_DIR}/pages)
