# Installation as a Linux desktop application, and its archive.
#
# The program finds its settings and tables in the folder of its own
# executable (resolved through /proc/self/exe, so symbolic links to it do
# not move that folder). Both executables therefore lie together in one
# program folder, <prefix>/lib/tessaline, which also takes the tables;
# <prefix>/bin holds relative links to them, so the installed tree can be
# moved or unpacked anywhere as a whole.
#
# Components: "program" (the executables and their links), "desktop" (menu
# entry, icons, the .csl file type, AppStream metadata; only with the
# window program) and "demo" (the demo tables, laid out by tessaline-mkdemo
# at install time). The demo is installed with the rest when
# TESS_INSTALL_DEMO is on, and otherwise only when asked for by
# `cmake --install BUILD --component demo`.
include(GNUInstallDirs)

option(TESS_INSTALL_DEMO "Install the demo tables into the program folder" OFF)
set(TESS_INSTALL_APPDIR "lib/tessaline" CACHE STRING
  "The program folder (executables, FileVersion.INI, tables), relative to the prefix")

# The first release installed as a desktop application; AppStream wants a
# date beside the version.
set(TESS_RELEASE_DATE "2026-12-10")
set(TESS_APP_ID "io.github.tessaline.Tessaline")
set(TESS_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging/linux)

set(tess_programs tessaline-cli)
if(TESS_GUI)
  list(APPEND tess_programs tessaline)
endif()
install(TARGETS ${tess_programs} RUNTIME DESTINATION ${TESS_INSTALL_APPDIR} COMPONENT program)

# The links in bin/ are made here, in the build folder, and installed as
# links: relative, so that DESTDIR, CPack's staging folder and a moved tree
# all keep them right.
cmake_path(ABSOLUTE_PATH TESS_INSTALL_APPDIR BASE_DIRECTORY ${CMAKE_INSTALL_PREFIX}
  OUTPUT_VARIABLE tess_appdir_full)
cmake_path(RELATIVE_PATH tess_appdir_full BASE_DIRECTORY ${CMAKE_INSTALL_FULL_BINDIR}
  OUTPUT_VARIABLE tess_appdir_from_bin)
set(tess_links_dir ${CMAKE_BINARY_DIR}/install-links)
file(MAKE_DIRECTORY ${tess_links_dir})
foreach(program ${tess_programs})
  file(CREATE_LINK ${tess_appdir_from_bin}/${program} ${tess_links_dir}/${program} SYMBOLIC)
  install(FILES ${tess_links_dir}/${program} DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT program)
endforeach()

# The demo tables: tessaline-mkdemo writes only what is missing, so tables
# the user added or changed stay.
set(tess_demo_code [=[
  set(folder "@TESS_INSTALL_APPDIR@")
  if(NOT IS_ABSOLUTE "${folder}")
    set(folder "${CMAKE_INSTALL_PREFIX}/${folder}")
  endif()
  set(folder "$ENV{DESTDIR}${folder}")
  message(STATUS "Demo tables: ${folder}")
  execute_process(COMMAND "$<TARGET_FILE:tessaline-mkdemo>" "${folder}" RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "tessaline-mkdemo could not lay out the demo tables in ${folder}")
  endif()
]=])
string(CONFIGURE "${tess_demo_code}" tess_demo_code @ONLY)
if(TESS_INSTALL_DEMO)
  install(CODE "${tess_demo_code}" COMPONENT demo)
else()
  install(CODE "${tess_demo_code}" COMPONENT demo EXCLUDE_FROM_ALL)
endif()

if(TESS_GUI)
  set(tess_icon ${PROJECT_SOURCE_DIR}/src/gui/resources/tessaline.svg)
  install(FILES ${TESS_PACKAGING_DIR}/tessaline.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT desktop)
  install(FILES ${TESS_PACKAGING_DIR}/tessaline-mime.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME tessaline.xml COMPONENT desktop)
  configure_file(${TESS_PACKAGING_DIR}/${TESS_APP_ID}.metainfo.xml.in
    ${CMAKE_BINARY_DIR}/packaging/${TESS_APP_ID}.metainfo.xml @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/packaging/${TESS_APP_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT desktop)
  install(FILES ${tess_icon}
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT desktop)

  # Bitmap icons for menus and software centres that do not draw SVG,
  # rendered from the same picture when rsvg-convert is at hand.
  find_program(TESS_RSVG_CONVERT rsvg-convert)
  if(TESS_RSVG_CONVERT)
    set(tess_pngs)
    foreach(size 48 128 256)
      set(png ${CMAKE_BINARY_DIR}/packaging/icons/${size}x${size}/tessaline.png)
      add_custom_command(OUTPUT ${png}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging/icons/${size}x${size}
        COMMAND ${TESS_RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${tess_icon}
        DEPENDS ${tess_icon} VERBATIM)
      list(APPEND tess_pngs ${png})
      install(FILES ${png}
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps COMPONENT desktop)
    endforeach()
    add_custom_target(tessaline_icons ALL DEPENDS ${tess_pngs})
  else()
    message(STATUS "rsvg-convert not found: only the scalable icon is installed")
  endif()
endif()

# What a system's package asks for beside the programs: the terms and the
# history, in the package's own documentation folder. The history is stored
# compressed without a time stamp, so that two builds give the same file.
set(tess_doc_dir ${CMAKE_INSTALL_DATADIR}/doc/tessaline)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/debian/copyright DESTINATION ${tess_doc_dir} COMPONENT program)
find_program(TESS_GZIP gzip)
if(TESS_GZIP)
  # The release date, not the build's: the entry names when it was made.
  execute_process(COMMAND date -u -R -d "${TESS_RELEASE_DATE}"
    OUTPUT_VARIABLE TESS_RELEASE_DATE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE)
  set(tess_changelog ${CMAKE_BINARY_DIR}/packaging/changelog)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/debian/changelog.in ${tess_changelog} @ONLY)
  add_custom_command(OUTPUT ${tess_changelog}.gz
    COMMAND ${TESS_GZIP} -9 -n -k -f ${tess_changelog}
    DEPENDS ${tess_changelog} VERBATIM)
  add_custom_target(tessaline_changelog ALL DEPENDS ${tess_changelog}.gz)
  install(FILES ${tess_changelog}.gz DESTINATION ${tess_doc_dir} COMPONENT program)

  # The manual pages, stored compressed as the history is. The command line
  # program's page is made from its own help at build time, so that it says
  # what the program says.
  set(tess_man ${CMAKE_BINARY_DIR}/packaging/man)
  set(tess_man_script ${PROJECT_SOURCE_DIR}/packaging/man/make-cli-manpage.sh)
  add_custom_command(OUTPUT ${tess_man}/tessaline-cli.1.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${tess_man}
    COMMAND bash ${tess_man_script} $<TARGET_FILE:tessaline-cli> ${TESS_RELEASE_DATE} ${PROJECT_VERSION}
      ${tess_man}/tessaline-cli.1
    COMMAND ${TESS_GZIP} -9 -n -f ${tess_man}/tessaline-cli.1
    DEPENDS tessaline-cli ${tess_man_script} VERBATIM)
  set(tess_man_pages ${tess_man}/tessaline-cli.1.gz)
  if(TESS_GUI)
    configure_file(${PROJECT_SOURCE_DIR}/packaging/man/tessaline.1.in ${tess_man}/tessaline.1 @ONLY)
    add_custom_command(OUTPUT ${tess_man}/tessaline.1.gz
      COMMAND ${TESS_GZIP} -9 -n -k -f ${tess_man}/tessaline.1
      DEPENDS ${tess_man}/tessaline.1 VERBATIM)
    list(APPEND tess_man_pages ${tess_man}/tessaline.1.gz)
  endif()
  add_custom_target(tessaline_man ALL DEPENDS ${tess_man_pages})
  install(FILES ${tess_man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT program)
endif()

# The archive of the installation (scripts/package): a tree with bin/, lib/
# and share/ to unpack into a prefix or anywhere.
set(CPACK_GENERATOR TGZ)
set(CPACK_PACKAGE_NAME tessaline)
set(CPACK_PACKAGE_VENDOR "The Tessaline developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "Prepare, check and transfer the parameter sets of 71Series inverters")
set(tess_package_name tessaline-${PROJECT_VERSION}-Linux-${CMAKE_SYSTEM_PROCESSOR})
if(TESS_INSTALL_DEMO)
  string(APPEND tess_package_name -demo)
endif()
set(CPACK_PACKAGE_FILE_NAME ${tess_package_name})
set(CPACK_STRIP_FILES ON)

# The Debian package (scripts/package --deb, `cpack -G DEB`): the same tree
# under /usr. The libraries the programs link (Qt's Widgets, PrintSupport and
# SVG among them) come from dpkg-shlibdeps; what they only load at run time
# (the platform plugins, the CJK fonts and Qt's own translations) is named
# here.
set(CPACK_DEBIAN_PACKAGE_NAME tessaline)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Tessaline developers <tessaline@tessaline.github.io>")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The synopsis is CPACK_PACKAGE_DESCRIPTION_SUMMARY; this is the text under it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Tessaline is the tool for engineers who commission and service 71Series
industrial inverters: it lays out an inverter's parameters from the installed
parameter tables, checks every value as it is entered, keeps data sets as
console data files (.csl), compares and prints them, and reads and writes
them over a serial line. tessaline-cli does the same jobs from scripts.
.
The parameter tables are not part of this package: they go into
/usr/lib/tessaline, and tables a user adds into the user's own data folder.")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(TESS_GUI)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-noto-cjk, qt6-translations-l10n")
endif()
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
