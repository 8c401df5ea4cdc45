# The Debian package, built by `make package` (cpack -G DEB in its own build folder).
set(CPACK_PACKAGE_NAME orvanel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Orvanel developers")
set(CPACK_PACKAGE_CONTACT "Orvanel developers <orvanel@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "libro de guardia para radioaficionados")
set(CPACK_PACKAGE_DESCRIPTION "Orvanel lleva el libro de guardia de una estación de radioaficionado:\n\
anota los contactos en una tabla, abre, guarda e importa libros .LBR,\n\
busca y ordena contactos, guarda los datos de la estación y muestra la\n\
lista de entidades DXCC.")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
# The package installs where the build was configured to (`make package` configures /usr), so
# every folder compiled into the program is where the package puts its files.
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# Depends from the libraries the program links (dpkg-shlibdeps, package dpkg-dev), plus
# the font whose metrics the fixed window layouts need to keep every caption whole.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS fonts-liberation2)
# Spanish texts for Qt's own buttons and menus; the program runs without them.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-translations-l10n)

include(CPack)
