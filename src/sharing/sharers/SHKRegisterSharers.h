#pragma once

// Registers every sharer this program offers under its class name, so that favourites, the share
// menu, the action sheet and the offline queue can reach it. Called once at launch; calling it
// again changes nothing. A new sharer joins the list here (and the offered services in
// "SHKSharers.plist").
void SHKRegisterSharers();
