// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// modQuillcode: the "Quillcode" language and the server functions of the completion list.
#include "modQuillcode.h"

#include "completion/EditorList.h"
#include "syntax/LanguageDefinition.h"
#include "syntax/LanguageRegistry.h"

namespace modQuillcode
{

namespace
{

// Set by the first call before anything else, so a run that failed part way is not repeated.
bool LanguageReady = false;

// clang-format off
const char *const OperatorEntries[] = {"-",   "not", "^",  "=",  "<>",  "and", "*",
                                       "/",   "<",   "or", "\\", ">",   "xor", "mod",
                                       "<=",  "eqv", "+",  ">=", "imp", "&",   "is"};

const char *const LiteralEntries[] = {"Empty", "False", "Nothing", "True", "Null"};

const char *const ConstantEntries[] = {
    "vbBlack",           "vbRed",              "vbGreen",          "vbYellow",
    "vbBlue",            "vbMagenta",          "vbCyan",           "vbWhite",
    "vbSunday",          "vbMonday",           "vbTuesday",        "vbWednesday",
    "vbThursday",        "vbFriday",           "vbSaturday",       "vbUseSystemDayOfWeek",
    "vbFirstJan1",       "vbFirstFourDays",    "vbFirstFullWeek",  "vbGeneralDate",
    "vbLongDate",        "vbShortDate",        "vbLongTime",       "vbShortTime",
    "vbObjectError",     "vbOKOnly",           "vbOKCancel",       "vbAbortRetryIgnore",
    "vbYesNoCancel",     "vbYesNo",            "vbRetryCancel",    "vbCritical",
    "vbQuestion",        "vbExclamation",      "vbInformation",    "vbDefaultButton1",
    "vbDefaultButton2",  "vbDefaultButton3",   "vbDefaultButton4", "vbApplicationModal",
    "vbSystemModal",     "vbOK",               "vbCancel",         "vbAbort",
    "vbRetry",           "vbIgnore",           "vbYes",            "vbNo",
    "vbCr",              "VbCrLf",             "VbLf",             "vbFormFeed",
    "vbNewLine",         "vbNullChar",         "vbNullString",     "vbTab",
    "vbVerticalTab",     "vbUseDefault",       "vbTrue",           "vbFalse",
    "vbEmpty",           "vbNull",             "vbInteger",        "vbLong",
    "vbSingle",          "vbDouble",           "vbCurrency",       "vbDate",
    "vbString",          "vbObject",           "vbError",          "vbBoolean",
    "vbVariant",         "vbDataObject",       "vbDecimal",        "vbByte",
    "vbArray"};

const char *const BuiltInFunctions[] = {
    "Abs",          "Array",         "Asc",           "Atn",
    "CBool",        "CByte",         "CCur",          "CDate",
    "CDbl",         "Chr",           "CInt",          "CLng",
    "Conversions",  "Cos",           "CreateObject",  "CSng",
    "Date",         "DateAdd",       "DateDiff",      "DatePart",
    "DateSerial",   "DateValue",     "Day",           "Derived Maths",
    "Eval",         "Exp",           "Filter",        "FormatCurrency",
    "FormatDateTime", "FormatNumber", "FormatPercent", "GetLocale",
    "GetObject",    "GetRef",        "Hex",           "Hour",
    "InputBox",     "InStr",         "InStrRev",      "Int",
    "Fixs",         "IsArray",       "IsDate",        "IsEmpty",
    "IsNull",       "IsNumeric",     "IsObject",      "Join",
    "LBound",       "LCase",         "Left",          "Len",
    "LoadPicture",  "Log",           "LTrim",         "RTrim",
    "Trims",        "Maths",         "Mid",           "Minute",
    "Month",        "MonthName",     "MsgBox",        "Now",
    "Oct",          "Replace",       "RGB",           "Right",
    "Rnd",          "Round",         "ScriptEngine",  "ScriptEngineBuildVersion",
    "ScriptEngineMajorVersion", "ScriptEngineMinorVersion", "Second", "SetLocale",
    "Sgn",          "Sin",           "Space",         "Split",
    "Sqr",          "StrComp",       "String",        "Tan",
    "Time",         "Timer",         "TimeSerial",    "TimeValue",
    "TypeName",     "UBound",        "UCase",         "VarType",
    "Weekday",      "WeekdayName",   "Year"};

const char *const StatementWords[] = {
    "End",    "Sub",     "Function", "Call",          "Class",    "Public", "Private",
    "Const",  "Dim",     "Exit",     "Do",            "While",    "Until",  "Loop",
    "If",     "Then",    "Erase",    "ReDim",         "Execute",  "ExecuteGlobal",
    "Property", "For",   "Each",     "In",            "To",       "Step",   "ByVal",
    "ByRef",  "Else",    "ElseIf",   "On",            "Error",    "Resume", "Goto",
    "Option", "Explicit", "Get",     "Let",           "Set",      "REM",    "Select",
    "Case",   "While",   "Wend",     "With"};
// clang-format on

// Appends each entry followed by a line feed.
template <std::size_t Count> void AppendEntries(QString &list, const char *const (&entries)[Count])
{
    for (const char *entry : entries) {
        list += QLatin1StringView(entry);
        list += QLatin1Char('\n');
    }
}

// The keyword list: built-in functions, statement words, then the server functions; no line
// feed follows the last entry.
QString KeywordList()
{
    QString list;
    AppendEntries(list, BuiltInFunctions);
    AppendEntries(list, StatementWords);
    for (std::size_t i = 0; i < ServerFunctionNames.size(); ++i) {
        list += ServerFunctionNames[i];
        if (i + 1 < ServerFunctionNames.size())
            list += QLatin1Char('\n');
    }
    return list;
}

} // namespace

void SetupLanguage()
{
    if (LanguageReady)
        return;
    LanguageReady = true;
    LanguageDefinition definition;
    LanguageRegistry registry;
    definition.MatchCase = false;
    definition.LanguageMode = 0;
    definition.CommentToken = QStringLiteral("'");
    definition.StringDelimiter = QString(QChar(34));
    definition.SpecialChar = QString();
    QString operators;
    AppendEntries(operators, OperatorEntries);
    definition.OperatorList = operators;
    QString literals;
    AppendEntries(literals, LiteralEntries);
    definition.LiteralList = literals;
    QString constants;
    AppendEntries(constants, ConstantEntries);
    definition.ConstantList = constants;
    definition.KeywordList = KeywordList();
    registry.RegisterLanguage(QStringLiteral("Quillcode"), definition);
}

void FillCompletionList(EditorList &list)
{
    for (const QLatin1StringView name : ServerFunctionNames)
        list.AddItem(name);
}

} // namespace modQuillcode
