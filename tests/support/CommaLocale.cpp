#include "CommaLocale.h"

#include <clocale>
#include <cstdlib>
#include <cstring>

namespace brelloc::test {

CommaLocale::CommaLocale()
{
    const char* current = std::setlocale(LC_ALL, nullptr);
    previous_ = current != nullptr ? current : "C";
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8", "de_DE",
                             "fr_FR", "nl_NL.UTF-8", "it_IT.UTF-8"}) {
        if (std::setlocale(LC_ALL, name) != nullptr &&
            std::strcmp(std::localeconv()->decimal_point, ",") == 0) {
            name_ = name;
            return;
        }
    }
    std::setlocale(LC_ALL, previous_.c_str());
}

CommaLocale::~CommaLocale()
{
    std::setlocale(LC_ALL, previous_.c_str());
}

bool CommaLocale::Required()
{
    const char* path = std::getenv("LOCPATH");
    return path != nullptr && *path != '\0';
}

} // namespace brelloc::test
