# The distribution zip of the Windows program (cpack in the build folder): odbackup.exe, a
# sample configuration and the administrator's readmes. The texts get CR LF; the sample
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

install(TARGETS odbackup RUNTIME DESTINATION .)
install(FILES ${ODB_DIST_FILES} DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME ODBackup)
set(CPACK_PACKAGE_VENDOR Ordava)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME odbackup-${PROJECT_VERSION}-win64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
include(CPack)
