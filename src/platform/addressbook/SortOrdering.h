#pragma once

namespace ab {

// How the user wants people listed: by first name ("John Smith") or by last name ("Smith John").
enum class SortOrdering {
    FirstNameFirst = 0,
    LastNameFirst = 1,
};

}
