// The test build's fault table: "fail the Nth call of kind K", and how many calls of
// each kind were made. Linking it replaces the shipped answer "never" of InjectedFault.
#pragma once

#include "framework/fault_point.h"

#include <string>

// The kind's name on a command line ("file-write"); empty for FaultKind::Count.
const char* FaultKindName(FaultKind nKind);

// The kind named strName; false when there is none.
bool FaultKindByName(const std::string& strName, FaultKind& nKind);

// Makes the nCall-th call (counted from 1) of nKind fail; more than one call of a kind
// may be armed.
void ArmFault(FaultKind nKind, unsigned nCall);

// How many calls of nKind were made so far.
unsigned FaultCallCount(FaultKind nKind);
