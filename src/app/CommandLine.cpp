#include "CommandLine.h"

using namespace Qt::StringLiterals;

CommandLine readCommandLine(const QStringList &arguments, const QString &version, const QString &dataFolder)
{
    CommandLine line;
    bool options = true;
    for (const QString &argument : arguments) {
        if (options && argument == u"--"_s) {
            options = false; // what follows is a file, even one named like an option
        } else if (options && (argument == u"-h"_s || argument == u"--help"_s)) {
            return {CommandLine::Action::Answer, {},
                    u"Uso: orvanel [ARCHIVO]\n"
                    u"Libro de guardia para radioaficionados.\n\n"
                    u"  ARCHIVO        un libro de guardia (.LBR) para abrir, o un archivo ADIF (.adi, .adx)\n"
                    u"                 para importar en el libro\n"
                    u"  -h, --help     muestra esta ayuda y termina\n"
                    u"  -v, --version  muestra la versión y la carpeta de datos, y termina\n"_s};
        } else if (options && (argument == u"-v"_s || argument == u"--version"_s)) {
            return {CommandLine::Action::Answer, {},
                    u"Orvanel %1\nCarpeta de datos: %2\n"_s.arg(version, dataFolder)};
        } else if (options && argument.startsWith(u'-') && argument.size() > 1) {
            return {CommandLine::Action::Refuse, {},
                    u"orvanel: opción desconocida «%1». Pruebe «orvanel --help».\n"_s.arg(argument)};
        } else if (!line.file.isEmpty()) {
            return {CommandLine::Action::Refuse, {}, u"orvanel: se puede empezar con un solo archivo.\n"_s};
        } else {
            line.file = argument;
        }
    }
    return line;
}
