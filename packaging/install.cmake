# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the program like any Linux desktop program (binaries, launcher entry,
# icons, AppStream data, manual pages, completions). The Debian packages are
# debian/'s, built with dpkg-buildpackage on these rules. Included from the
# top-level CMakeLists.txt once the executables are defined.
include(GNUInstallDirs)

set(TIMER_MAINTAINER "Timer RS232 developers <maintainers@timer-rs232.invalid>")

# Equal to QGuiApplication::desktopFileName, so the desktop matches the running
# window to its entry and icon.
set(TIMER_APP_ID io.github.timer_rs232.TimerRS232)
set(_timer_app_dir ${PROJECT_SOURCE_DIR}/gui)

install(TARGETS timer-rs232 timerctl RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET timer-sim)
  install(TARGETS timer-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

install(FILES ${_timer_app_dir}/${TIMER_APP_ID}.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${_timer_app_dir}/${TIMER_APP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

install(FILES ${_timer_app_dir}/icons/${TIMER_APP_ID}.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# Committed renders (scripts/render-icons.sh): a build machine need not render SVG.
foreach(size 16 32 48 64 128)
  install(FILES ${_timer_app_dir}/icons/${size}/${TIMER_APP_ID}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# Manual pages, from the programs' own --help and a few added sections.
find_program(TIMER_HELP2MAN help2man)
# help2man names its own sections in Spanish only where the Spanish locale
# exists, which a build machine seldom has: it is compiled here from the
# system's locale sources (Debian's locales package).
find_program(TIMER_LOCALEDEF localedef)
set(_timer_locale_dir ${CMAKE_BINARY_DIR}/locale)
set(_timer_locale ${_timer_locale_dir}/es_ES.UTF-8/LC_MESSAGES)
if(TIMER_LOCALEDEF AND EXISTS /usr/share/i18n/locales/es_ES)
  add_custom_command(OUTPUT ${_timer_locale}
    COMMAND ${TIMER_LOCALEDEF} -i es_ES -c -f UTF-8 ${_timer_locale_dir}/es_ES.UTF-8
    COMMENT "The es_ES.UTF-8 locale, for the Spanish manual pages"
    VERBATIM)
  set(TIMER_SPANISH_MAN ON)
else()
  message(WARNING "no es_ES locale sources: no Spanish manual pages (scripts/install-deps.sh installs them)")
endif()

# One page: `language` empty for English, or "es"; `include` holds the
# added sections.
function(timer_man_page program summary language include)
  if(language)
    set(dir ${CMAKE_BINARY_DIR}/man/${language})
    set(run ${CMAKE_COMMAND} -E env LOCPATH=${_timer_locale_dir} QT_QPA_PLATFORM=offscreen
        ${TIMER_HELP2MAN} --locale=es_ES.UTF-8)
    set(depends ${_timer_locale})
    set(destination ${CMAKE_INSTALL_MANDIR}/${language}/man1)
  else()
    set(dir ${CMAKE_BINARY_DIR}/man)
    set(run ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ${TIMER_HELP2MAN})
    set(depends)
    set(destination ${CMAKE_INSTALL_MANDIR}/man1)
  endif()
  set(page ${dir}/${program}.1)
  add_custom_command(OUTPUT ${page}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
    COMMAND ${run} --no-info --section=1 --name=${summary} --include=${include}
            --output=${page} $<TARGET_FILE:${program}>
    # The exit statuses are --help's last part: a section of the page's own,
    # where a reader of manual pages looks for them.
    COMMAND sed -i -e "s/^\\.SS \"Exit status:\"$/.SH \"EXIT STATUS\"/"
            -e "s/^\\.SS \"Estado de salida:\"$/.SH \"ESTADO DE SALIDA\"/" ${page}
    COMMAND gzip -9nf ${page}
    DEPENDS ${program} ${include} ${depends}
    COMMENT "Manual page ${program}(1) ${language}"
    VERBATIM)
  set_property(GLOBAL APPEND PROPERTY TIMER_MAN_PAGES ${page}.gz)
  install(FILES ${page}.gz DESTINATION ${destination})
endfunction()

if(TIMER_HELP2MAN)
  foreach(entry
      "timer-rs232||program and fire an RS-232 timer device"
      "timerctl||read, program, fire and find RS-232 timer devices from scripts"
      "timerctl|es|lee, programa, dispara y encuentra temporizadores RS-232 desde scripts"
      "timer-sim||a simulated RS-232 timer device on a pseudo-terminal")
    string(REPLACE "|" ";" entry "${entry}")
    list(GET entry 0 program)
    list(GET entry 1 language)
    list(GET entry 2 summary)
    if(NOT TARGET ${program} OR (language AND NOT TIMER_SPANISH_MAN))
      continue()
    endif()
    set(include ${PROJECT_SOURCE_DIR}/docs/man/${program}.h2m)
    if(language)
      set(include ${PROJECT_SOURCE_DIR}/docs/man/${program}.${language}.h2m)
    endif()
    timer_man_page(${program} "${summary}" "${language}" ${include})
  endforeach()
  get_property(_man_pages GLOBAL PROPERTY TIMER_MAN_PAGES)
  add_custom_target(manual_pages ALL DEPENDS ${_man_pages})
else()
  message(WARNING "help2man not found: no manual pages (scripts/install-deps.sh installs it)")
endif()

# Where bash-completion looks for a command's completion, below the prefix.
set(TIMER_COMPLETIONS_DIR ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
find_program(TIMER_PKG_CONFIG pkg-config)
if(TIMER_PKG_CONFIG)
  execute_process(
    COMMAND ${TIMER_PKG_CONFIG} --define-variable=prefix=/usr --variable=completionsdir
            bash-completion
    OUTPUT_VARIABLE _completions OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(_completions MATCHES "^/usr/(.+)$")
    set(TIMER_COMPLETIONS_DIR ${CMAKE_MATCH_1})
  endif()
endif()
install(FILES ${PROJECT_SOURCE_DIR}/packaging/timerctl.bash
  DESTINATION ${TIMER_COMPLETIONS_DIR} RENAME timerctl)

# Where Debian's zsh and fish look for the completions that packages bring
# (zsh's own site-functions is for the local administrator).
set(TIMER_ZSH_COMPLETIONS_DIR ${CMAKE_INSTALL_DATADIR}/zsh/vendor-completions
  CACHE STRING "Folder for timerctl's zsh completion, below the prefix")
set(TIMER_FISH_COMPLETIONS_DIR ${CMAKE_INSTALL_DATADIR}/fish/vendor_completions.d
  CACHE STRING "Folder for timerctl's fish completion, below the prefix")
install(FILES ${PROJECT_SOURCE_DIR}/packaging/timerctl.zsh
  DESTINATION ${TIMER_ZSH_COMPLETIONS_DIR} RENAME _timerctl)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/timerctl.fish
  DESTINATION ${TIMER_FISH_COMPLETIONS_DIR})

# The Ansible module, where Debian's ansible-core looks for modules with no
# configuration; as a plain module it keeps its short name, timerctl.
set(TIMER_ANSIBLE_MODULES_DIR ${CMAKE_INSTALL_DATADIR}/ansible/plugins/modules
  CACHE STRING "Folder for timerctl's Ansible module, below the prefix")
install(FILES ${PROJECT_SOURCE_DIR}/ansible/timerctl.py DESTINATION ${TIMER_ANSIBLE_MODULES_DIR})

# The licence and the history, where Debian keeps them.
set(_doc ${CMAKE_INSTALL_DATADIR}/doc/${PROJECT_NAME})
# debian/copyright is the one copy: Debian tools look for it there.
install(FILES ${PROJECT_SOURCE_DIR}/debian/copyright DESTINATION ${_doc})
set(_changelog ${CMAKE_BINARY_DIR}/changelog)
add_custom_command(OUTPUT ${_changelog}.gz
  COMMAND ${CMAKE_COMMAND} -DIN=${PROJECT_SOURCE_DIR}/CHANGELOG.md -DOUT=${_changelog}
          -DPACKAGE=${PROJECT_NAME} "-DMAINTAINER=${TIMER_MAINTAINER}"
          -P ${PROJECT_SOURCE_DIR}/packaging/debian_changelog.cmake
  COMMAND gzip -9nf ${_changelog}
  DEPENDS ${PROJECT_SOURCE_DIR}/CHANGELOG.md ${PROJECT_SOURCE_DIR}/packaging/debian_changelog.cmake
  COMMENT "Debian changelog from CHANGELOG.md"
  VERBATIM)
add_custom_target(changelog ALL DEPENDS ${_changelog}.gz)
install(FILES ${_changelog}.gz DESTINATION ${_doc})

# debian/changelog holds the same releases (dpkg-buildpackage reads it there):
# this target writes it again after CHANGELOG.md changes, and the install test
# checks that they agree.
add_custom_target(debian_changelog
  COMMAND ${CMAKE_COMMAND} -DIN=${PROJECT_SOURCE_DIR}/CHANGELOG.md
          -DOUT=${PROJECT_SOURCE_DIR}/debian/changelog -DPACKAGE=${PROJECT_NAME}
          "-DMAINTAINER=${TIMER_MAINTAINER}"
          -P ${PROJECT_SOURCE_DIR}/packaging/debian_changelog.cmake
  COMMENT "debian/changelog from CHANGELOG.md"
  VERBATIM)
