#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>
#include <utility>
#include <vector>

// A département, made from what tells it: a commune's INSEE code, its postal
// code, or what a user types. It has two spellings, each for its own use.
//
// Its code, as INSEE and every list of France write it: two characters,
// « 08 », « 75 », « 2A » and « 2B » in Corsica, three overseas (« 971 »).
//
// Its map number, the text the window shows and looks up in the map's table
// (DepartementTable.h): a decimal number without leading zero, « 8 », « 75 »,
// « 20 » for both halves of Corsica, which share a map, « 97 » overseas.
//
// Each reading keeps the rule its users have always had: one read from a
// postal code keeps what that code says even where the code of the INSEE
// tells otherwise.
class Departement
{
public:
    // A name it bore until a day: Seine and Seine-et-Oise until 1968, when
    // the région parisienne was cut into new départements; Corse until 1976,
    // when it was cut in two.
    struct FormerName
    {
        QString name;  // « Seine-et-Oise »
        QString until; // the first day it no longer bore it, AAAA-MM-JJ

        bool operator==(const FormerName &) const = default;
    };

    Departement() = default; // none: every reading is empty

    // A commune's: its code from its INSEE code when the file has one, else
    // from its postal code; its map number from its postal code (see
    // ofPostcode). Empty code when neither tells.
    static Departement ofCommune(QStringView inseeCode, QStringView codepos, QStringView departementName);
    // The département of an INSEE code: its first two characters, three
    // overseas (97…), in upper case.
    static Departement ofInseeCode(QStringView inseeCode);
    // A commune's by its postal code. The code: 2A and 2B told apart by the
    // département's name, 971 to 976 (and 98…) with three digits. The map
    // number: the one the postal code begins with, except for the few
    // communes whose mail goes through a post office of a neighbouring
    // département (RIBOUX, Var, 13780): those take their own, named by their
    // departement field, when the map's table knows that name.
    static Departement ofPostcode(QStringView codepos, QStringView departementName);
    // The codes a postal code (five digits) belongs to by its first digits:
    // one, or both halves of Corsica for a code starting with 20. Empty for a
    // text that is no postal code.
    static QStringList codesOfPostcode(QStringView postcode);
    // The département as its postal code writes it: the code's first two
    // characters, as they are (« 01 » keeps its zero; « 20 » for Corsica).
    static QString postcodePrefix(QStringView codepos);
    // What a user types as a département's code or number: « 1 », « 01 »,
    // « 2a », « 971 ». None for any other text.
    static Departement fromCodeText(QStringView typed);
    // The same, or a name: today's as the map writes it (« Ardennes »), or a
    // former one (« Seine-et-Oise »), in any case and accents. None otherwise.
    static Departement fromText(QStringView typed);

    // A text of the form of a commune's INSEE code: the département's two
    // digits (2A or 2B in Corsica, 97 and one more digit overseas) then the
    // commune's three digits. Blanks around it do not count.
    static bool isInseeCode(QStringView text);
    // Whether a map number (as the window's number reads it) is overseas.
    static bool isOverseasMapNumber(double number);

    bool isNull() const { return m_code.isEmpty() && !m_mapNumber; }
    QString code() const { return m_code; }
    QString mapNumber() const;
    bool isOverseas() const;
    // Its name in the map's table (« ARDENNES », « CORSE », « D.O.M »).
    QString mapName() const;
    // The names it bore before its name of today.
    std::vector<FormerName> formerNames() const;
    // The name it bore on a day (AAAA-MM-JJ) when it was not today's; empty
    // otherwise.
    QString formerNameOn(QStringView isoDate) const;

    bool operator==(const Departement &) const = default;

private:
    explicit Departement(QString code) : m_code(std::move(code)) {}
    std::optional<long long> mapNumberValue() const;

    QString m_code;
    // Read from a postal code: the number it says, which the code alone may
    // not; else the number is read from the code. Kept as a number: a batch
    // reads the département of every commune a constraint may keep.
    std::optional<long long> m_mapNumber;
};
