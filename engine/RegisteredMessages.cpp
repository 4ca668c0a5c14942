#include "engine/RegisteredMessages.h"

const UINT StartMessage = RegisterWindowMessageW(L"{49260E60-7ABD-4067-ADA5-79AAADC268A9}");
const UINT DeviceLostMessage = RegisterWindowMessageW(L"{2BED0A43-1424-4356-BFAD-E22B0BEC0663}");
const UINT EndMessage = RegisterWindowMessageW(L"{9411513F-DAE5-48a9-8B02-8282E8AF0BA8}");
