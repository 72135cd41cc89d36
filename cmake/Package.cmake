# The release files of the shipped 32-bit build (target "dist", run by scripts/package.sh):
#   <build>/dist/Zembrolatix-<version>.msi  the installer package (wixl, from installer/Zembrolatix.wxs)
#   <build>/dist/Zembrolatix-<version>.zip  the DLL, compat/xpcom.js, the TypeScript declarations, docs/
# The package's registry entries are generated from the sources of the module's own registration by
# registry-fragment, a small tool built with the host's compiler.
find_program(HOST_CXX NAMES clang++ g++ c++)
set(PACKAGE_WORK ${CMAKE_BINARY_DIR}/installer)
set(PACKAGE_NAME Zembrolatix-${PROJECT_VERSION})
set(DIST ${CMAKE_BINARY_DIR}/dist)
file(MAKE_DIRECTORY ${PACKAGE_WORK} ${DIST})

set(FRAGMENT_TOOL ${PACKAGE_WORK}/registry-fragment)
set(FRAGMENT_TOOL_SOURCES
  ${CMAKE_SOURCE_DIR}/tools/installer/main.cpp ${CMAKE_SOURCE_DIR}/tools/installer/RegistryFragment.cpp
  ${CMAKE_SOURCE_DIR}/tools/installer/TypeLibFile.cpp ${CMAKE_SOURCE_DIR}/src/module/RegistrarScript.cpp)
add_custom_command(
  OUTPUT ${FRAGMENT_TOOL}
  # The registrar's text rules build natively against the few Windows definitions they name.
  COMMAND ${HOST_CXX} -std=c++20 -O1 -Wall -Wextra -Werror -I${CMAKE_SOURCE_DIR}/src
          -I${CMAKE_SOURCE_DIR}/tests/fuzz/shim -I${CMAKE_SOURCE_DIR}/tools/installer
          ${FRAGMENT_TOOL_SOURCES} -o ${FRAGMENT_TOOL}
  DEPENDS ${FRAGMENT_TOOL_SOURCES} ${CMAKE_SOURCE_DIR}/tools/installer/RegistryFragment.h
          ${CMAKE_SOURCE_DIR}/tools/installer/TypeLibFile.h ${CMAKE_SOURCE_DIR}/src/module/RegistrarScript.h
  COMMENT "Building the installer's registry generator (host)"
  VERBATIM)

set(REGISTRY_WXI ${PACKAGE_WORK}/registry-machine.wxi ${PACKAGE_WORK}/registry-user.wxi)
add_custom_command(
  OUTPUT ${REGISTRY_WXI}
  COMMAND ${FRAGMENT_TOOL} ${CMAKE_SOURCE_DIR}/src/module/resources/Zembrolatix.rc
          ${CMAKE_SOURCE_DIR}/src/module/ObjectMap.h ${CMAKE_SOURCE_DIR}/src/module/Classes.def
          ${CMAKE_SOURCE_DIR}/src/module/Registration.cpp ${CMAKE_SOURCE_DIR}/idl/Zembrolatix.idl
          ${GEN}/Zembrolatix.tlb "[#Zembrolatix.dll]" "[INSTALLDIR]" ${PACKAGE_WORK}
  DEPENDS ${FRAGMENT_TOOL} ${RGS_FILES} ${CMAKE_SOURCE_DIR}/src/module/ObjectMap.h
          ${CMAKE_SOURCE_DIR}/src/module/Classes.def ${CMAKE_SOURCE_DIR}/src/module/Registration.cpp
          ${CMAKE_SOURCE_DIR}/idl/Zembrolatix.idl ${GEN}/Zembrolatix.tlb
  COMMENT "Generating the installer's registry entries from the registration sources"
  VERBATIM)

file(GLOB_RECURSE DOC_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/docs/*)
set(STAGE ${PACKAGE_WORK}/${PACKAGE_NAME})
set(FILES_WXS ${PACKAGE_WORK}/files.wxs)
set(MSI ${DIST}/${PACKAGE_NAME}.msi)
set(ZIP ${DIST}/${PACKAGE_NAME}.zip)
add_custom_command(
  OUTPUT ${MSI} ${ZIP}
  COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_SOURCE_DIR} -DDLL=$<TARGET_FILE:Zembrolatix> -DSTAGE=${STAGE}
          -DFRAGMENT=${FILES_WXS} -P ${CMAKE_SOURCE_DIR}/installer/stage.cmake
  COMMAND ${CMAKE_SOURCE_DIR}/installer/build-msi.sh ${STAGE} ${PACKAGE_WORK} ${FILES_WXS} ${PROJECT_VERSION} ${MSI}
  COMMAND ${CMAKE_COMMAND} -E chdir ${PACKAGE_WORK} ${CMAKE_COMMAND} -E tar cf ${ZIP} --format=zip ${PACKAGE_NAME}
  DEPENDS Zembrolatix ${REGISTRY_WXI} ${CMAKE_SOURCE_DIR}/installer/Zembrolatix.wxs
          ${CMAKE_SOURCE_DIR}/installer/stage.cmake ${CMAKE_SOURCE_DIR}/installer/build-msi.sh
          ${CMAKE_SOURCE_DIR}/compat/xpcom.js
          ${CMAKE_SOURCE_DIR}/types/zembrolatix.d.ts ${CMAKE_SOURCE_DIR}/types/xpcom.d.ts ${DOC_FILES}
  COMMENT "Building ${PACKAGE_NAME}.msi and ${PACKAGE_NAME}.zip"
  VERBATIM)
add_custom_target(dist DEPENDS ${MSI} ${ZIP})
file(WRITE ${PACKAGE_WORK}/version.txt ${PROJECT_VERSION})
