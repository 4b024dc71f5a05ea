# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installing Quillmark: one program folder holding the executable beside its help files, a bin/
# link to it, the desktop entry, the icon theme's icons, the AppStream metainfo, the manual page
# and the copyright and changelog that Debian wants. CPack packs the same layout into a .deb.
set(QUILLMARK_APP_ID org.example.quillmark)
set(QUILLMARK_HOMEPAGE "https://quillmark.example.org/")
set(QUILLMARK_MAINTAINER "The Quillmark developers <quillmark@example.org>")
set(QUILLMARK_PROGRAM_DIR lib/quillmark)
set(QUILLMARK_ICON_SIZES 16 24 32 48 64 128 256)

add_executable(quillmark_icon_sizes ${CMAKE_CURRENT_LIST_DIR}/IconSizes.cpp)
target_link_libraries(quillmark_icon_sizes PRIVATE Qt6::Gui quillmark_warnings)

set(quillmark_icon_source ${PROJECT_SOURCE_DIR}/src/app/resources/icon.png)
set(quillmark_icon_dir ${PROJECT_BINARY_DIR}/icons)
set(quillmark_icon_files)
foreach(size ${QUILLMARK_ICON_SIZES})
    list(APPEND quillmark_icon_files ${quillmark_icon_dir}/${size}.png)
endforeach()
add_custom_command(OUTPUT ${quillmark_icon_files}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${quillmark_icon_dir}
    COMMAND quillmark_icon_sizes ${quillmark_icon_source} ${quillmark_icon_dir} ${QUILLMARK_ICON_SIZES}
    DEPENDS quillmark_icon_sizes ${quillmark_icon_source}
    COMMENT "Drawing the program's icon at the icon theme's sizes"
    VERBATIM)
add_custom_target(quillmark_icons ALL DEPENDS ${quillmark_icon_files})

# The manual page takes its keys from Readme.txt and the changelog is Versions.txt, both made
# again whenever their sources change.
set(quillmark_doc_dir ${PROJECT_BINARY_DIR}/packaging)
add_custom_command(OUTPUT ${quillmark_doc_dir}/quillmark.1.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${quillmark_doc_dir}
    COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/make-manpage.sh ${CMAKE_CURRENT_LIST_DIR}/quillmark.1.in
            ${PROJECT_SOURCE_DIR}/src/help/Readme.txt ${PROJECT_VERSION} ${QUILLMARK_HOMEPAGE}
            ${quillmark_doc_dir}/quillmark.1.gz
    DEPENDS ${CMAKE_CURRENT_LIST_DIR}/make-manpage.sh ${CMAKE_CURRENT_LIST_DIR}/quillmark.1.in
            ${PROJECT_SOURCE_DIR}/src/help/Readme.txt
    COMMENT "Writing the manual page"
    VERBATIM)
add_custom_command(OUTPUT ${quillmark_doc_dir}/changelog.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${quillmark_doc_dir}
    COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/make-changelog.sh ${PROJECT_SOURCE_DIR}/src/help/Versions.txt
            ${CMAKE_CURRENT_LIST_DIR}/${QUILLMARK_APP_ID}.metainfo.xml quillmark
            ${QUILLMARK_MAINTAINER} ${quillmark_doc_dir}/changelog.gz
    DEPENDS ${CMAKE_CURRENT_LIST_DIR}/make-changelog.sh ${PROJECT_SOURCE_DIR}/src/help/Versions.txt
            ${CMAKE_CURRENT_LIST_DIR}/${QUILLMARK_APP_ID}.metainfo.xml
    COMMENT "Writing the Debian changelog from Versions.txt"
    VERBATIM)
add_custom_target(quillmark_docs ALL
    DEPENDS ${quillmark_doc_dir}/quillmark.1.gz ${quillmark_doc_dir}/changelog.gz)

install(TARGETS quillmark RUNTIME DESTINATION ${QUILLMARK_PROGRAM_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/src/help/Readme.txt ${PROJECT_SOURCE_DIR}/src/help/Versions.txt
        DESTINATION ${QUILLMARK_PROGRAM_DIR})
# The program finds its help files beside its real location, so bin/ holds only a link to it.
install(CODE "
    set(quillmark_bin \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin\")
    file(MAKE_DIRECTORY \"\${quillmark_bin}\")
    message(STATUS \"Installing: \${quillmark_bin}/quillmark\")
    file(CREATE_LINK ../${QUILLMARK_PROGRAM_DIR}/quillmark \"\${quillmark_bin}/quillmark\" SYMBOLIC)
")
install(FILES ${CMAKE_CURRENT_LIST_DIR}/${QUILLMARK_APP_ID}.desktop DESTINATION share/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/${QUILLMARK_APP_ID}.metainfo.xml DESTINATION share/metainfo)
foreach(size ${QUILLMARK_ICON_SIZES})
    install(FILES ${quillmark_icon_dir}/${size}.png
            DESTINATION share/icons/hicolor/${size}x${size}/apps
            RENAME ${QUILLMARK_APP_ID}.png)
endforeach()
install(FILES ${quillmark_doc_dir}/quillmark.1.gz DESTINATION share/man/man1)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${quillmark_doc_dir}/changelog.gz
        DESTINATION share/doc/quillmark)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillmark)
set(CPACK_PACKAGE_VENDOR "The Quillmark developers")
set(CPACK_PACKAGE_CONTACT ${QUILLMARK_MAINTAINER})
set(CPACK_PACKAGE_HOMEPAGE_URL ${QUILLMARK_HOMEPAGE})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor for the .qc script files of a game server")
# Debian shows the description as it stands, so its lines are wrapped here.
set(CPACK_PACKAGE_DESCRIPTION [=[Quillmark colours the BASIC-like Quillcode script language, offers the game
server's script functions from a list and comments out selected lines in one
command. It keeps every file's encoding and line ends, and saves atomically.]=])
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION editors)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
