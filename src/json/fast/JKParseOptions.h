#pragma once

// Options of a decoder, fixed for its life. 0 is strict JSON.
using JKParseOptionFlags = unsigned;

enum : JKParseOptionFlags {
    JKParseOptionStrict = 0,
    // "/* ... */" and "// ..." count as white space.
    JKParseOptionComments = 1 << 0,
    // U+2028, U+2029 and U+0085 end lines too.
    JKParseOptionUnicodeNewlines = 1 << 1,
    // Ill-formed UTF-8 and invalid \u escapes in strings become U+FFFD instead of failing.
    JKParseOptionLooseUnicode = 1 << 2,
    // Text after the complete top-level value is ignored.
    JKParseOptionPermitTextAfterValidJSON = 1 << 3,
    JKParseOptionValidFlags = 0xF,
};
