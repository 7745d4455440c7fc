#pragma once

// Registers every web-service sharer under its class name, beside the local sharers of
// SHKRegisterSharers(). Called once at launch; calling it again changes nothing.
void SHKRegisterServices();
