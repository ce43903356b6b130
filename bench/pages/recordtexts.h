#pragma once
// The texts of a bench record's first twelve lines, as a booking export
// might hold them: the page benches draw them.
inline const char* const kRecordTexts[] = {"Annual Board Meeting",
                                           "Grand Ballroom A",
                                           "10:00",
                                           "12:30",
                                           "Welcome Reception",
                                           "Harbour View Suite",
                                           "20240307",
                                           "20240307",
                                           "Regional Directors",
                                           "Level 3, Room 301",
                                           "Lunch in the Atrium",
                                           "Garden Terrace"};
