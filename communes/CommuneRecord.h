#pragma once

#include <QString>

// One row of the commune table insee1.
struct CommuneRecord
{
    QString commune;
    double longitude = 0;
    double latitude = 0;
    QString codepos;
    QString departement;
};
