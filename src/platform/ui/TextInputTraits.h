#pragma once

namespace ui {

// How the keyboard treats what is typed; stored for callers, numbered as the platform numbered them.
enum class TextAutocapitalizationType {
    None = 0,
    Words = 1,
    Sentences = 2,
    AllCharacters = 3,
};

enum class TextAutocorrectionType {
    Default = 0,
    No = 1,
    Yes = 2,
};

enum class KeyboardType {
    Default = 0,
    ASCIICapable = 1,
    NumbersAndPunctuation = 2,
    URL = 3,
    NumberPad = 4,
    PhonePad = 5,
    NamePhonePad = 6,
    EmailAddress = 7,
};

enum class ReturnKeyType {
    Default = 0,
    Go = 1,
    Google = 2,
    Join = 3,
    Next = 4,
    Route = 5,
    Search = 6,
    Send = 7,
    Yahoo = 8,
    Done = 9,
    EmergencyCall = 10,
};

}
