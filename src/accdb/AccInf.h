#pragma once
// The open data set's basic settings (one instance, AccInf), filled when a
// data set is opened. The members below are those the data module's
// services read; the reader of the basic settings adds the rest.
#include <array>
#include <string>

struct TACCINF {
    int READ_ONLY = 0;                 // ACCDEF1.READ_ONLY
    std::string DataPassword;          // the data password in plain form; empty: none
    std::array<std::string, 6> TusinHolder;   // communication holders, slot 1 from TUSIN_ID
    std::array<std::string, 6> TusinPasword;  // communication passwords, slot 1 from TUSIN_ID
};

extern TACCINF AccInf;
