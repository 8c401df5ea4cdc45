#pragma once
// The three pages the program opens in the browser, kept in one place.
#include <QString>

namespace weblinks {

// The product web site's home folder ("Sitio web de Orvanel").
inline QString site() { return QStringLiteral("https://orvanel.example.org/"); }

// The online help: index.html in the site's "ayuda" folder ("Ayuda en línea").
inline QString help() { return QStringLiteral("https://orvanel.example.org/ayuda/index.html"); }

// The sponsor banner: the sponsor's redirect page, which credits our affiliate identifier
// and forwards to the sponsor's home page.
inline QString sponsor() { return QStringLiteral("https://www.patrocinio-radio.example.com/redir.php?afiliado=orvanel944"); }

} // namespace weblinks
