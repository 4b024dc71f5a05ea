// LanguageDefinition: the settings by which the editor control colours one script language.
#include "LanguageDefinition.h"

QStringList WordListEntries(const QString &list)
{
    return list.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}
