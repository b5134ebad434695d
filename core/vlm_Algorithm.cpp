// The public face of the algorithm component: every operation hands over to TAlgorithmImpl
// (vlm_AlgorithmImpl.h), whose parts live in the compiler, execution, variables and thread
// files.

#include "vlm_Algorithm.h"

#include "vlm_AlgorithmImpl.h"
#include "vlm_Errors.h"

TAlgorithm::TAlgorithm(const std::string &name) : FImpl(std::make_unique<TAlgorithmImpl>(*this, name)) {}

// The worker is ended before any member (handler, hook, list) is destroyed.
TAlgorithm::~TAlgorithm() { FImpl->Shutdown(); }

const std::string &TAlgorithm::Name() const { return FImpl->FName; }

TArrayOfString TAlgorithm::CommandLines() const { return FImpl->CommandLines(); }

TMode TAlgorithm::Mode() const { return FImpl->FMode; }

void TAlgorithm::SetMode(TMode mode) { FImpl->FMode = mode; }

TRunStatus TAlgorithm::Status() const { return FImpl->FStatus; }

bool TAlgorithm::StopRequested() const { return FImpl->FStopRequested; }

TKeyWords &TAlgorithm::KeyWords() { return FImpl->FKeyWords; }

const TKeyWords &TAlgorithm::KeyWords() const { return FImpl->FKeyWords; }

std::string TAlgorithm::LastFailure() const { return FImpl->LastFailure(); }

void TAlgorithm::Execute() { FImpl->Execute(); }

void TAlgorithm::Stop() { FImpl->Stop(); }

void TAlgorithm::Continue() { FImpl->Continue(); }

void TAlgorithm::LoadErrorTexts(const std::string &fileName) { LoadErrorMessages(fileName, FImpl->FName); }

void TAlgorithm::SeedRandom(unsigned seed) { FImpl->FRandom.seed(seed); }
