#include "platform/win32/picture.h"

Picture Picture::FromResource(HINSTANCE module, const wchar_t* name) {
  Picture picture;
  HRSRC resource = FindResourceW(module, name, MAKEINTRESOURCEW(10) /* RT_RCDATA */);
  HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes) return picture;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                              picture.factory_.PutVoid())))
    return picture;
  ComPtr<IWICStream> stream;
  ComPtr<IWICBitmapDecoder> decoder;
  ComPtr<IWICBitmapFrameDecode> frame;
  ComPtr<IWICFormatConverter> converter;
  if (FAILED(picture.factory_->CreateStream(stream.Put())) ||
      FAILED(stream->InitializeFromMemory(static_cast<BYTE*>(const_cast<void*>(bytes)),
                                          SizeofResource(module, resource))) ||
      FAILED(picture.factory_->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnLoad,
                                                       decoder.Put())) ||
      FAILED(decoder->GetFrame(0, frame.Put())) || FAILED(picture.factory_->CreateFormatConverter(converter.Put())) ||
      FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone, nullptr, 0,
                                   WICBitmapPaletteTypeCustom)))
    return picture;
  converter->QueryInterface(IID_IWICBitmapSource, picture.source_.PutVoid());
  return picture;
}

UniqueGdiObject Picture::Stretched(int width, int height) const {
  if (!source_ || width <= 0 || height <= 0) return {};
  ComPtr<IWICBitmapScaler> scaler;
  if (FAILED(factory_->CreateBitmapScaler(scaler.Put())) ||
      FAILED(scaler->Initialize(source_.Get(), width, height, WICBitmapInterpolationModeFant)))
    return {};
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down, as WIC delivers the rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  UniqueGdiObject bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap) return {};
  const UINT stride = static_cast<UINT>(width) * 4;
  if (FAILED(scaler->CopyPixels(nullptr, stride, stride * static_cast<UINT>(height), static_cast<BYTE*>(bits))))
    return {};
  return bitmap;
}
