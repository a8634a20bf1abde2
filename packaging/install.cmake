# `make install`: the programs with reports/, help/ and data/ beside them in lib/vastrel (they
# look for those beside the executable), commands in bin/, menu entries, icons and the
# AppStream file in share/. When lib/vastrel is not writable (an install by root), the
# programs keep percorso.txt and the database in the per-user data folder.
set(VASTREL_LIBDIR lib/vastrel)
foreach(program vastrel stampa esportazioni vastrel-sql)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${VASTREL_LIBDIR})
  endif()
endforeach()
install(DIRECTORY ${CMAKE_SOURCE_DIR}/reports ${CMAKE_SOURCE_DIR}/help DESTINATION ${VASTREL_LIBDIR})
install(FILES ${CMAKE_SOURCE_DIR}/export/help/esportazioni.html DESTINATION ${VASTREL_LIBDIR}/help)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data DESTINATION ${VASTREL_LIBDIR} PATTERN icons EXCLUDE)

# The commands: the programs' own names are too generic for bin/.
foreach(link vastrel:vastrel vastrel-stampa:stampa vastrel-esportazioni:esportazioni vastrel-sql:vastrel-sql)
  string(REPLACE ":" ";" pair ${link})
  list(GET pair 0 command)
  list(GET pair 1 program)
  install(CODE "
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin\")
    file(CREATE_LINK ../${VASTREL_LIBDIR}/${program} \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/${command}\" SYMBOLIC)
    message(STATUS \"Installing: \$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/${command}\")")
endforeach()

install(FILES packaging/vastrel.desktop packaging/vastrel-stampa.desktop packaging/vastrel-esportazioni.desktop
        DESTINATION share/applications)
install(FILES packaging/it.vastrel.Vastrel.metainfo.xml DESTINATION share/metainfo)
# Whatever icons are drawn so far: a missing one leaves its menu entry with the theme's default.
file(GLOB VASTREL_ICONS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/data/icons/*.svg)
if(VASTREL_ICONS)
  install(FILES ${VASTREL_ICONS} DESTINATION share/icons/hicolor/scalable/apps)
endif()

# `make deb`
set(CPACK_PACKAGE_NAME vastrel)
set(CPACK_PACKAGE_VENDOR Vastrel)
set(CPACK_PACKAGE_CONTACT "Vastrel <vastrel@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Gestione di palestre e centri fitness")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so not seen by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, qt6-translations-l10n, breeze-icon-theme, libqt6svg6")
include(CPack)
