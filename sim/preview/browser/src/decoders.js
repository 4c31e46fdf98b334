// The decoders of compressed geometry, carried in the page: Draco's WebAssembly decoder, handed to
// its loader through blob: URLs, and meshopt's, which holds its own. Nothing is fetched.
import { DRACOLoader } from 'three/addons/loaders/DRACOLoader.js';
import { MeshoptDecoder } from 'three/addons/libs/meshopt_decoder.module.js';
import dracoWrapper from 'three/addons/libs/draco/draco_wasm_wrapper.js' with { type: 'text' };
import dracoWasm from 'three/addons/libs/draco/draco_decoder.wasm' with { type: 'bytes' };

// Gives `loader` both decoders; the function returned frees them once the model is loaded.
export function addDecoders(loader) {
  const js = URL.createObjectURL(new Blob([dracoWrapper], { type: 'text/javascript' }));
  const wasm = URL.createObjectURL(new Blob([dracoWasm], { type: 'application/wasm' }));
  const draco = new DRACOLoader().setDecoderPath({ js, wasm });
  loader.setDRACOLoader(draco).setMeshoptDecoder(MeshoptDecoder);
  return () => {
    draco.dispose();
    URL.revokeObjectURL(js);
    URL.revokeObjectURL(wasm);
  };
}
