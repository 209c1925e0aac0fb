#pragma once

#include "TestStore.h"

// A small store with every table the search reads, one row for each kind of
// match and homonyms that only a postal code or a département tells apart.
// The rows of insee1, by rowid:
//   1 PARIS  2 PASSY (71)  3 PASSY (74)  4 PASSY (89)  5 PERCY EN NORMANDIE
//   6 LE PERCY (38)  7 LE HAVRE  8 MARSEILLE  9 SAINT DENIS (93)
//   10 ST DENIS (11)  11 VILLENEUVE (01)  12 VILLENEUVE (04)  13 CORTE
//   14 NEUVILLE, where the first VILLENEUVE is
//   15 RAISSAC SUR LAMPY  16 LA CROIX SUR ROUDOULE (06)  17 LA CROIX (59)
//   18 CHATEAU CHINON VILLE  19 CHATEAU CHINON CAMPAGNE (both 58120)
//   20 LYON  21 AIX EN PROVENCE, with its post offices PUYRICARD and LES MILLES
//   22 RAISSAC, beside RAISSAC SUR LAMPY
// Populations tell the three PASSY apart: 74 the largest, 71 and 89 even;
// PARIS, the largest, has a commune déléguée named as CORTE is.
inline TestStore searchStore()
{
    return TestStore({"commune", "longitude", "latitude", "codepos", "departement", "code_insee", "population"})
        .rows({
            {"PARIS", 2.3428, 48.85661, "75001", "PARIS", "75056", 2000000},
            {"PASSY", 4.25, 46.53, "71220", "SAONE-ET-LOIRE", "71342", 400},
            {"PASSY", 6.73993, 45.95417, "74190", "HAUTE-SAVOIE", "74208", 3000},
            {"PASSY", 3.07, 48.1, "89510", "YONNE", "89291", 400},
            {"PERCY EN NORMANDIE", -1.19, 48.92, "50410", "MANCHE", "50393"},
            {"LE PERCY", 5.62626, 44.78958, "38930", "ISERE", "38301"},
            {"LE HAVRE", 0.1, 49.49, "76600", "SEINE-MARITIME", "76351"},
            {"MARSEILLE", 5.4205, 43.29164, "13001", "BOUCHES-DU-RHONE", "13055"},
            {"SAINT DENIS", 2.36, 48.94, "93200", "SEINE-SAINT-DENIS", "93066"},
            {"ST DENIS", 2.21764, 43.35606, "11310", "AUDE", "11339"},
            {"VILLENEUVE", 5.0, 46.0, "01480", "AIN", "01449"},
            {"VILLENEUVE", 5.86, 43.89, "04180", "ALPES-DE-HAUTE-PROVENCE", "04242"},
            {"CORTE", 9.15, 42.3, "20250", "HAUTE-CORSE", "2B096"},
            {"NEUVILLE", 5.0, 46.0, "01990", "AIN", "01999"},
            {"RAISSAC SUR LAMPY", 2.16, 43.28, "11170", "AUDE", "11308"},
            {"LA CROIX SUR ROUDOULE", 6.88, 44.0, "06260", "ALPES-MARITIMES", "06051"},
            {"LA CROIX", 3.1, 50.6, "59999", "NORD", "59999"},
            {"CHATEAU CHINON VILLE", 3.93, 47.06, "58120", "NIEVRE", "58062"},
            {"CHATEAU CHINON CAMPAGNE", 3.94, 47.07, "58120", "NIEVRE", "58063"},
            {"LYON", 4.83638, 45.75485, "69001", "RHONE", "69123"},
            {"AIX EN PROVENCE", 5.45, 43.53, "13100", "BOUCHES-DU-RHONE", "13001"},
            {"RAISSAC", 2.2, 43.3, "11170", "AUDE", "11999"},
        })
        .table("codes_postaux",
               {{1, "75001"},  {1, "75005"},  {2, "71220"},  {3, "74190"},  {4, "89510"},  {5, "50410"},  {6, "38930"},
                {7, "76600"},  {7, "76610"},  {8, "13001"},  {8, "13008"},  {9, "93200"},  {10, "11310"}, {11, "01480"},
                {12, "04180"}, {13, "20250"}, {15, "11170"}, {16, "06260"}, {17, "59999"}, {18, "58120"}, {19, "58120"},
                {20, "69001"}, {20, "69003"}, {21, "13100"}, {21, "13290"}, {21, "13540"}, {22, "11170"}})
        .table("localites_postales",
               {{"PUYRICARD", "localité postale", 21, "13540"}, {"LES MILLES", "localité postale", 21, "13290"}})
        .table("autres_noms", {{"PERCY", "commune déléguée", 5, {}},
                               {"PARIS 5E ARRONDISSEMENT", "arrondissement municipal", 1, "75005"},
                               {"CORDIEUX", "commune associée", 3, {}},
                               {"GOURVILLE", "ancienne commune", 4, {}},
                               {"CORTE", "commune déléguée", 1, {}}})
        .table("historique", {{"VOISINLIEU", "fusion, 1943", 7}})
        .table("anciens_codes", {{"76999", "GRAVILLE", "fusion, 1955", 7}});
}

inline bool writeSearchStore(const QString &path)
{
    return searchStore().write(path);
}
