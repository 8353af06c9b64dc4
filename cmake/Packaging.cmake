# The distribution zip of the Windows program (cpack in the build folder): the program in
# 64bit/ and, when ODB_DIST_EXE32 names the 32-bit build's odbackup.exe, in 32bit/ (both keep
# the name odbackup.exe, so each reads its own odbackup.ini), a sample configuration and the
# administrator's readmes, which say how to pick the folder that matches the installed client. The texts get CR LF; the sample
# configuration is written in Windows-1250, the encoding the program reads, and the readmes
# in UTF-8 with a byte order mark, which every Notepad recognises.
find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(ODB_DIST_DIR ${CMAKE_BINARY_DIR}/dist)
set(ODB_WINDOWS_TEXT ${CMAKE_SOURCE_DIR}/cmake/windows_text.py)
set(ODB_DIST_FILES)

function(odb_dist_text source name encoding)
  set(target ${ODB_DIST_DIR}/${name})
  add_custom_command(OUTPUT ${target}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${ODB_DIST_DIR}
    COMMAND ${Python3_EXECUTABLE} ${ODB_WINDOWS_TEXT} ${CMAKE_SOURCE_DIR}/${source} ${target}
      ${encoding}
    DEPENDS ${CMAKE_SOURCE_DIR}/${source} ${ODB_WINDOWS_TEXT}
    VERBATIM)
  set(ODB_DIST_FILES ${ODB_DIST_FILES} ${target} PARENT_SCOPE)
endfunction()

odb_dist_text(resources/odbackup.sample.ini odbackup.sample.ini cp1250)
odb_dist_text(docs/admin-readme-cs.txt CTIMNE.txt utf-8-sig)
odb_dist_text(docs/admin-readme-en.txt README.txt utf-8-sig)
add_custom_target(odbdist ALL DEPENDS ${ODB_DIST_FILES})

set(ODB_DIST_EXE32 "" CACHE FILEPATH "The 32-bit odbackup.exe for the distribution zip")
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  install(TARGETS odbackup RUNTIME DESTINATION 32bit)
else()
  install(TARGETS odbackup RUNTIME DESTINATION 64bit)
  if(ODB_DIST_EXE32)
    install(PROGRAMS ${ODB_DIST_EXE32} DESTINATION 32bit)
  endif()
endif()
install(FILES ${ODB_DIST_FILES} DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME ODBackup)
set(CPACK_PACKAGE_VENDOR Ordava)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME odbackup-${PROJECT_VERSION}-windows)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
include(CPack)

# The per-user installer of this build's program (dist/msi), beside the zip; its test
# installs, upgrades and removes it in a Wine prefix of its own.
find_program(ODB_WIXL wixl)
if(ODB_WIXL)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(ODB_MSI_ARCH x86)
  else()
    set(ODB_MSI_ARCH x64)
  endif()
  set(ODB_MSI ${CMAKE_BINARY_DIR}/odbackup-${PROJECT_VERSION}-${ODB_MSI_ARCH}.msi)
  set(ODB_MSI_ICON ${CMAKE_BINARY_DIR}/resources/pictures/app.ico)
  set(ODB_MAKE_MSI ${CMAKE_SOURCE_DIR}/dist/msi/make-msi.sh)
  add_custom_command(OUTPUT ${ODB_MSI}
    COMMAND bash ${ODB_MAKE_MSI} ${ODB_MSI_ARCH} ${PROJECT_VERSION} $<TARGET_FILE:odbackup>
      ${ODB_MSI_ICON} ${ODB_MSI}
    DEPENDS odbackup ${ODB_MSI_ICON} ${ODB_MAKE_MSI} ${CMAKE_SOURCE_DIR}/dist/msi/odbackup.wxs
    COMMENT "Making the installer ${ODB_MSI}"
    VERBATIM)
  add_custom_target(odbmsi ALL DEPENDS ${ODB_MSI})
  if(ODB_TESTS)
    add_test(NAME installer COMMAND bash ${CMAKE_SOURCE_DIR}/tests/msi/install.sh
      ${ODB_MSI_ARCH} ${ODB_MSI} $<TARGET_FILE:odbackup> ${ODB_MSI_ICON})
    set_tests_properties(installer PROPERTIES TIMEOUT 300)
  endif()
else()
  message(WARNING "wixl not found (bash scripts/packages.sh installs it): no installer is built")
endif()
