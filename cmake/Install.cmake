# What `cmake --install <build> --prefix <prefix>` (and `make install`) puts beside the program
# (src/app installs bin/lumoskop itself): the desktop entry, the icon in the hicolor theme, the
# AppStream metainfo and the manual page, so that file managers offer "Open with Lumoskop" for
# photos. The Debian package takes its files from these rules too (debian/rules).
include(GNUInstallDirs)

set(LUMOSKOP_DIST_DIR ${PROJECT_SOURCE_DIR}/dist)
# Where src/app installs the program; the desktop entry's Exec line points there.
set(LUMOSKOP_INSTALL_BINDIR bin)
set(LUMOSKOP_ICON_SIZES 16 22 24 32 48 64 128 256)

# The icon name is the desktop file name the program announces (setDesktopFileName), and the
# SVG is the very file the program shows as its window icon (":/app/lumoskop.svg").
install(FILES ${PROJECT_SOURCE_DIR}/resources/app/lumoskop.svg
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps)
foreach(size ${LUMOSKOP_ICON_SIZES})
  install(FILES ${LUMOSKOP_DIST_DIR}/icons/lumoskop-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/${size}x${size}/apps RENAME lumoskop.png)
endforeach()

install(FILES ${LUMOSKOP_DIST_DIR}/io.github.lumoskop.Lumoskop.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo)

# The manual page carries the program's version in its footer.
configure_file(${LUMOSKOP_DIST_DIR}/lumoskop.1.in ${PROJECT_BINARY_DIR}/dist/lumoskop.1 @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/dist/lumoskop.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The desktop entry is written at install time, because only then is the prefix known
# (`--prefix` overrides the configured one). Its Exec line names the installed program by its
# full path: a desktop session started before ~/.local/bin existed does not have it on PATH,
# and "Open with" would then fail silently. The path is quoted as desktop entries require, so a
# prefix with blanks, quotes or backslashes still starts the program.
set(lumoskop_entry_code [==[
  set(program "${CMAKE_INSTALL_PREFIX}/@LUMOSKOP_INSTALL_BINDIR@/lumoskop")
  # Quoting inside Exec: a reserved character makes the argument a double-quoted one, in which
  # ", `, $ and \ take a backslash; a literal % is always %%.
  set(argument "${program}")
  string(REPLACE "%" "%%" argument "${argument}")
  if(argument MATCHES "[ \t\n\"'\\\\><~|&;$*?#()`]")
    string(REPLACE "\\" "\\\\" argument "${argument}")
    string(REPLACE "\"" "\\\"" argument "${argument}")
    string(REPLACE "`" "\\`" argument "${argument}")
    string(REPLACE "$" "\\$" argument "${argument}")
    set(argument "\"${argument}\"")
  endif()
  # Then the escapes of every string value, applied to the whole line: \ becomes \\.
  string(REPLACE "\\" "\\\\" exec "${argument}")
  string(REPLACE "\\" "\\\\" tryexec "${program}")
  file(READ "@LUMOSKOP_DIST_DIR@/lumoskop.desktop" entry)
  string(REPLACE "\nExec=lumoskop " "\nExec=${exec} " entry "${entry}")
  string(REPLACE "\nTryExec=lumoskop\n" "\nTryExec=${tryexec}\n" entry "${entry}")
  file(WRITE "@PROJECT_BINARY_DIR@/dist/lumoskop.desktop" "${entry}")
  file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/@CMAKE_INSTALL_DATAROOTDIR@/applications" TYPE FILE
       FILES "@PROJECT_BINARY_DIR@/dist/lumoskop.desktop")

  # Desktops that keep a cache of desktop entries or icons only see the new files once the
  # cache is refreshed. A cache that is not there is not created: a folder without one is read
  # directly, and a cache nobody refreshes would hide whatever is installed there later.
  if("$ENV{DESTDIR}" STREQUAL "")
    set(share "${CMAKE_INSTALL_PREFIX}/@CMAKE_INSTALL_DATAROOTDIR@")
    find_program(update_desktop_database update-desktop-database)
    if(update_desktop_database AND EXISTS "${share}/applications/mimeinfo.cache")
      execute_process(COMMAND "${update_desktop_database}" -q "${share}/applications")
    endif()
    find_program(gtk_update_icon_cache gtk-update-icon-cache)
    if(gtk_update_icon_cache AND EXISTS "${share}/icons/hicolor/icon-theme.cache")
      execute_process(COMMAND "${gtk_update_icon_cache}" -q -t "${share}/icons/hicolor")
    endif()
  endif()
]==])
string(CONFIGURE "${lumoskop_entry_code}" lumoskop_entry_code @ONLY)
install(CODE "${lumoskop_entry_code}")

# The install test installs the built program, so building the test builds the program first.
if(TARGET tst_install)
  add_dependencies(tst_install lumoskop)
endif()
