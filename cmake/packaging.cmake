# Installation and the Debian package: the two programs, the menu entry with
# its icon, the AppStream metadata, the manual pages and the package's own
# documents. scripts/package builds the package with `cpack -G DEB`.
include(GNUInstallDirs)

set(RM460_PACKAGE_NAME rm460-console)
set(RM460_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(RM460_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/${RM460_PACKAGE_NAME})

# Folders made by the installation and by CPack are 0755 whatever the umask.
set(RM460_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS ${RM460_DIRECTORY_PERMISSIONS})
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS ${RM460_DIRECTORY_PERMISSIONS})

foreach(program rm460-console rm460-sim)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

install(FILES ${RM460_PACKAGING_DIR}/rm460-console.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${RM460_PACKAGING_DIR}/rm460-console.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${RM460_PACKAGING_DIR}/io.rm460.console.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${RM460_PACKAGING_DIR}/copyright DESTINATION ${RM460_DOC_DIR})

# Manual pages and the changelog are installed compressed, without a time
# stamp in the gzip header, so the same sources give the same package.
find_program(RM460_GZIP gzip REQUIRED)
set(RM460_COMPRESSED)
function(rm460_gzip source output destination)
  set(out ${CMAKE_BINARY_DIR}/packaging/${output})
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
    COMMAND ${RM460_GZIP} -9n -c ${RM460_PACKAGING_DIR}/${source} > ${out}
    DEPENDS ${RM460_PACKAGING_DIR}/${source}
    VERBATIM)
  install(FILES ${out} DESTINATION ${destination})
  set(RM460_COMPRESSED ${RM460_COMPRESSED} ${out} PARENT_SCOPE)
endfunction()
rm460_gzip(rm460-console.1 rm460-console.1.gz ${CMAKE_INSTALL_MANDIR}/man1)
rm460_gzip(rm460-sim.1 rm460-sim.1.gz ${CMAKE_INSTALL_MANDIR}/man1)
rm460_gzip(changelog changelog.gz ${RM460_DOC_DIR})
add_custom_target(rm460_compressed_docs ALL DEPENDS ${RM460_COMPRESSED})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${RM460_PACKAGE_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The RM460 console team")
set(CPACK_PACKAGE_CONTACT "The RM460 console team <rm460@example.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "service and test console for the RM460 banknote dispenser")
set(CPACK_PACKAGE_DESCRIPTION
    "A desktop console that drives an RM460 banknote dispenser over its RS-232
line: single commands (dispense, clear counters and errors, lock the keys,
calibrate, read the status, counts, DIP switches, error record and password),
the answers in words, the DIP switches as lamps, single-bill stepping, the
two-second status poll, the self test, and a traffic log of every byte.

rm460-sim serves a simulated dispenser on a pseudo-terminal, so the console
can be learnt and tried without hardware.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION comm)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps finds the libraries the programs link (Qt 6, libstdc++, libc).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
